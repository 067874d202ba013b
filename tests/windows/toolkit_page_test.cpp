// Pages made by the form runtime: where the controls are, what they show,
// the property interface over them, and the events they raise.
#include "toolkit_fixture.h"
#include "wizard/toolkit/graphic_data.h"
#include "wizard/toolkit/page_rules.h"

using namespace qv;
using namespace qv::testing;

namespace {

std::string Text(HWND w) {
    char buffer[512] = {};
    ::GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

}  // namespace

TEST_F(ToolkitPage, PositionsAndSizesScaleFromTheFormsPixelsPerInchToTheScreens) {
    auto options = Options();
    options.screenPixelsPerInch = 144;
    Make(PageForm({Obj("TEdit", "Edit1", {Prop("Left", 10), Prop("Top", 21), Prop("Width", 100), Prop("Height", 21)}),
                   Obj("TButton", "Button1", {Prop("Left", 300), Prop("Top", 250)}),
                   Obj("TPanel", "Panel1", {Prop("Left", 0), Prop("Top", 0), Prop("Width", 200), Ident("Align", "alTop")},
                       {Obj("TLabel", "Inner", {Prop("Left", 4), Prop("Top", 6), Prop("Caption", "x"),
                                                Flag("AutoSize", false)})})}),
         options);
    RECT edit = Placed("Edit1");
    EXPECT_EQ(edit.left, 15);
    EXPECT_EQ(edit.top, 32);  // 31.5 rounds up
    EXPECT_EQ(edit.right - edit.left, 150);
    EXPECT_EQ(edit.bottom - edit.top, 32);
    // A button the file gives no size takes the class's 75 × 25.
    RECT button = Placed("Button1");
    EXPECT_EQ(button.right - button.left, 113);
    EXPECT_EQ(button.bottom - button.top, 38);
    // The page's client area is 400 × 300 form pixels.
    RECT client;
    ::GetClientRect(page_->window(), &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 450);
    // Aligned to the top, the panel spans the page; its children sit in it.
    RECT panel = Placed("Panel1");
    EXPECT_EQ(panel.right - panel.left, 600);
    EXPECT_EQ(::GetParent(Get("Inner").window()), Get("Panel1").window());
    RECT inner = Placed("Inner");
    EXPECT_EQ(inner.left, 6);
    EXPECT_EQ(inner.top, 9);
}

TEST_F(ToolkitPage, ControlsShowTheirTextsStatesAndItems) {
    Make(PageForm({
        Obj("TEdit", "Edit1", {Prop("Text", "C:\\Program Files"), Prop("MaxLength", 4), Flag("Enabled", false)}),
        Obj("TLabel", "Label1", {Prop("Caption", "&Folder:"), Flag("Visible", false)}),
        Obj("TRzCheckBox", "Check1", {Prop("Caption", "Agree"), Flag("Checked", true)}),
        Obj("TMemo", "Memo1", {Lines("Lines.Strings", {"one", "two"})}),
        Obj("TListBox", "List1", {Lines("Items.Strings", {"a", "b", "c"}), Prop("ItemIndex", 1)}),
        Obj("TComboBox", "Combo1", {Lines("Items.Strings", {"x", "y"}), Prop("Text", "y")}),
        Obj("TTrackBar", "Track1", {Prop("Max", 20), Prop("Position", 7)}),
        Obj("TProgressBar", "Bar1", {Prop("Position", 30)}),
    }));
    EXPECT_EQ(Text(Get("Edit1").window()), "C:\\Program Files");
    EXPECT_EQ(::SendMessageW(Get("Edit1").window(), EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_FALSE(::IsWindowEnabled(Get("Edit1").window()));
    EXPECT_EQ(Text(Get("Label1").window()), "&Folder:");
    EXPECT_FALSE(::GetWindowLongPtrW(Get("Label1").window(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(::SendMessageW(Get("Check1").window(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(Get("Memo1").window()), "one\r\ntwo");
    EXPECT_EQ(::SendMessageW(Get("List1").window(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(Get("List1").window(), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(Get("Combo1").window()), "y");
    EXPECT_EQ(::SendMessageW(Get("Track1").window(), TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_EQ(::SendMessageW(Get("Track1").window(), TBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(::SendMessageW(Get("Bar1").window(), PBM_GETPOS, 0, 0), 30);
}

TEST_F(ToolkitPage, ThePropertyInterfaceReadsWhatTheUserChangedAndShowsWhatItSets) {
    Make(PageForm({
        Obj("TEdit", "Edit1", {Prop("Text", "old")}),
        Obj("TRzCheckBox", "Check1", {}),
        Obj("TButton", "Button1", {Prop("Caption", "Next")}),
        Obj("TMemo", "Memo1", {}),
        Obj("TListBox", "List1", {Lines("Items.Strings", {"a", "b"})}),
    }));
    toolkit::Control& edit = Get("Edit1");
    ::SetWindowTextA(edit.window(), "typed");
    EXPECT_EQ(edit.Property("Text"), "typed");
    ::SendMessageW(Get("Check1").window(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Get("Check1").Property("Checked"), "True");
    ::SendMessageW(Get("List1").window(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(Get("List1").Property("ItemIndex"), "1");
    ::SetWindowTextA(Get("Memo1").window(), "first\r\nsecond");
    EXPECT_EQ(Get("Memo1").Items(), (std::vector<std::string>{"first", "second"}));

    toolkit::Control& button = Get("Button1");
    button.SetProperty("Enabled", "False");
    EXPECT_FALSE(::IsWindowEnabled(button.window()));
    EXPECT_EQ(button.Property("Enabled"), "False");
    button.SetProperty("Caption", "Install");
    EXPECT_EQ(Text(button.window()), "Install");
    button.SetProperty("Visible", "False");
    EXPECT_FALSE(::IsWindowVisible(button.window()) || (::GetWindowLongPtrW(button.window(), GWL_STYLE) & WS_VISIBLE));
    Get("List1").SetProperty("Items", "x\r\ny\r\nz\r\n");
    EXPECT_EQ(::SendMessageW(Get("List1").window(), LB_GETCOUNT, 0, 0), 3);
    Get("Memo1").SetProperty("Text", "a\r\nb");
    EXPECT_EQ(Text(Get("Memo1").window()), "a\r\nb");

    // A text that does not fit leaves the property as it was.
    EXPECT_THROW(button.SetProperty("Enabled", "Maybe"), FormError);
    EXPECT_EQ(button.Property("Enabled"), "False");
    EXPECT_THROW(button.SetProperty("Width", "wide"), FormError);
    EXPECT_FALSE(button.Property("NoSuchProperty").has_value());
    EXPECT_EQ(page_->Find("button1"), &button);
    EXPECT_EQ(page_->Find("TestPage"), nullptr);  // the page itself is not a component
    EXPECT_EQ(page_->root().Property("ClientWidth"), "400");
}

TEST_F(ToolkitPage, EventPropertiesCallThePagesHandlersByName) {
    Make(PageForm({
        Obj("TButton", "Button1", {Ident("OnClick", "button1click")}),
        Obj("TEdit", "Edit1", {Ident("OnChange", "Edit1Change")}),
        Obj("TRzCheckBox", "Check1", {Ident("OnClick", "CheckBox1Click")}),
        Obj("TRzRadioButton", "Radio1", {Flag("Checked", true), Ident("OnClick", "RadioButton1Click")}),
        Obj("TRzRadioButton", "Radio2", {Ident("OnClick", "RadioButton1Click")}),
        Obj("TButton", "Plain", {}),
    }));
    ::SendMessageW(Get("Button1").window(), BM_CLICK, 0, 0);
    ::SetWindowTextA(Get("Edit1").window(), "x");
    ::SendMessageW(Get("Check1").window(), BM_CLICK, 0, 0);
    ::SendMessageW(Get("Radio2").window(), BM_CLICK, 0, 0);
    ::SendMessageW(Get("Plain").window(), BM_CLICK, 0, 0);
    EXPECT_EQ(calls_, (std::vector<std::string>{"Button1Click:Button1:OnClick", "Edit1Change:Edit1:OnChange",
                                                "CheckBox1Click:Check1:OnClick",
                                                "RadioButton1Click:Radio2:OnClick"}));
    EXPECT_EQ(Get("Check1").Property("Checked"), "True");
    // Radio buttons of one parent form a group.
    EXPECT_EQ(Get("Radio1").Property("Checked"), "False");
    EXPECT_EQ(Get("Radio2").Property("Checked"), "True");

    // Handlers are attached and detached through the same properties.
    calls_.clear();
    Get("Plain").SetProperty("OnClick", "Button1Click");
    ::SendMessageW(Get("Plain").window(), BM_CLICK, 0, 0);
    Get("Button1").SetProperty("OnClick", "");
    ::SendMessageW(Get("Button1").window(), BM_CLICK, 0, 0);
    EXPECT_EQ(calls_, (std::vector<std::string>{"Button1Click:Plain:OnClick"}));
    EXPECT_THROW(Get("Plain").SetProperty("OnClick", "NoSuchHandler"), FormError);
    EXPECT_EQ(Get("Plain").Handler("OnClick"), "Button1Click");
}

TEST_F(ToolkitPage, ProgrammaticChangesRaiseTheEventsAUserChangeRaises) {
    Make(PageForm({
        Obj("TRzCheckBox", "Check1", {Ident("OnClick", "CheckBox1Click")}),
        Obj("TTrackBar", "Track1", {Ident("OnChange", "TrackBar1Change")}),
        Obj("TEdit", "Edit1", {Ident("OnChange", "Edit1Change")}),
    }));
    Get("Check1").SetChecked(true);
    Get("Check1").SetChecked(true);  // no change, no event
    Get("Track1").SetProperty("Position", "4");
    Get("Edit1").SetText("new");
    EXPECT_EQ(calls_, (std::vector<std::string>{"CheckBox1Click:Check1:OnClick", "TrackBar1Change:Track1:OnChange",
                                                "Edit1Change:Edit1:OnChange"}));
}

TEST_F(ToolkitPage, ADialogNamingAMissingHandlerIsRefused) {
    try {
        Make(PageForm({Obj("TButton", "Button1", {Ident("OnClick", "Button9Click")})}));
        ADD_FAILURE() << "no error";
    } catch (const FormError& e) {
        EXPECT_STREQ(e.what(), "\"Button1\" names the handler \"Button9Click\" for OnClick, which the page does not have");
    }
}

TEST_F(ToolkitPage, HandlerErrorsGoToTheErrorReportAndThePageStays) {
    auto options = Options();
    options.handlers["Button1Click"] = [](toolkit::Control&, const toolkit::Event&) {
        throw std::runtime_error("handler failed");
    };
    Make(PageForm({Obj("TButton", "Button1", {Ident("OnClick", "Button1Click")})}), options);
    ::SendMessageW(Get("Button1").window(), BM_CLICK, 0, 0);
    EXPECT_EQ(errors_, (std::vector<std::string>{"handler failed"}));
    EXPECT_TRUE(::IsWindow(page_->window()));
}

TEST_F(ToolkitPage, TabOrderFollowsTabOrderNotFileOrder) {
    Make(PageForm({
        Obj("TEdit", "Third", {Prop("TabOrder", 2)}),
        Obj("TLabel", "Caption1", {Prop("Caption", "x")}),
        Obj("TEdit", "First", {Prop("TabOrder", 0)}),
        Obj("TButton", "Second", {Prop("TabOrder", 1)}),
        Obj("TButton", "Skipped", {Prop("TabOrder", 3), Flag("TabStop", false)}),
    }));
    std::vector<std::string> order;
    HWND w = ::GetNextDlgTabItem(page_->window(), nullptr, FALSE);
    for (int i = 0; i < 4 && w; ++i) {
        order.push_back(page_->FromWindow(w)->name());
        w = ::GetNextDlgTabItem(page_->window(), w, FALSE);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"First", "Second", "Third", "First"}));
}

TEST_F(ToolkitPage, EnterPressesTheDefaultButtonAndEscGoesToTheCancelCallback) {
    int cancels = 0;
    auto options = Options();
    options.onCancelKey = [&](toolkit::Page&) { ++cancels; };
    Make(PageForm({
        Obj("TEdit", "Edit1", {Prop("TabOrder", 0)}),
        Obj("TButton", "Next", {Flag("Default", true), Ident("OnClick", "Button1Click"), Prop("TabOrder", 1)}),
        Obj("TButton", "Cancel", {Flag("Cancel", true), Ident("OnClick", "Button1Click"), Prop("TabOrder", 2)}),
    }),
         options);
    page_->Show();
    ::SetFocus(Get("Edit1").window());
    MSG enter = {Get("Edit1").window(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(toolkit::PreTranslatePageMessage(enter));
    MSG escape = {Get("Edit1").window(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(toolkit::PreTranslatePageMessage(escape));
    EXPECT_EQ(calls_, (std::vector<std::string>{"Button1Click:Next:OnClick"}));
    EXPECT_EQ(cancels, 1);
    // Without the callback Esc presses the cancel button.
    page_.reset();
    calls_.clear();
    Make(PageForm({Obj("TButton", "Cancel", {Flag("Cancel", true), Ident("OnClick", "Button1Click")})}));
    page_->Show();
    MSG again = {page_->window(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(toolkit::PreTranslatePageMessage(again));
    EXPECT_EQ(calls_, (std::vector<std::string>{"Button1Click:Cancel:OnClick"}));
}

TEST_F(ToolkitPage, TreeViewsShowTheirNodesAndReportTheSelectedOne) {
    std::vector<toolkit::TreeNodeData> nodes(2);
    nodes[0].text = "Program";
    nodes[0].children.resize(1);
    nodes[0].children[0].text = "Core";
    nodes[1].text = "Help";
    Make(PageForm({Obj("TTreeView", "Tree1", {Prop("Items.Data", FormValue::BinaryData(toolkit::WriteTreeNodes(nodes))),
                                              Ident("OnChange", "TreeView1Change")})}));
    toolkit::Control& tree = Get("Tree1");
    std::vector<HTREEITEM> top = tree.Nodes(nullptr);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(tree.NodeText(top[0]), "Program");
    EXPECT_EQ(tree.NodeText(top[1]), "Help");
    std::vector<HTREEITEM> below = tree.Nodes(top[0]);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(tree.NodeText(below[0]), "Core");
    EXPECT_EQ(tree.NodeParent(below[0]), top[0]);
    tree.SelectNode(below[0]);
    EXPECT_EQ(tree.SelectedNode(), below[0]);
    EXPECT_EQ(calls_.back(), "TreeView1Change:Tree1:OnChange");
}

TEST_F(ToolkitPage, DamagedPicturesAndUnknownComponents) {
    EXPECT_THROW(Make(PageForm({Obj("TImage", "Image1", {Prop("Picture.Data", FormValue::BinaryData("\x07TBitmap\x09"))})})),
                 FormError);
    // A component of a class the page does not know keeps its properties
    // and has no window; its children still show.
    Make(PageForm({Obj("TRFDesigner", "cmpFormDesigner", {Prop("Hint", "x")},
                       {Obj("TButton", "Inside", {Prop("Caption", "ok")})})}));
    EXPECT_EQ(Get("cmpFormDesigner").window(), nullptr);
    EXPECT_EQ(Get("cmpFormDesigner").Property("Hint"), "x");
    EXPECT_EQ(::GetParent(Get("Inside").window()), page_->window());
}

TEST_F(ToolkitPage, CheckListsKeepABoxPerItem) {
    Make(PageForm({Obj("TCheckListBox", "List1", {Lines("Items.Strings", {"a", "b"}),
                                                  Ident("OnClickCheck", "CheckListBox1ClickCheck")})}));
    toolkit::Control& list = Get("List1");
    list.SetItemChecked(1, true);
    EXPECT_FALSE(list.ItemChecked(0));
    EXPECT_TRUE(list.ItemChecked(1));
    EXPECT_FALSE(list.ItemChecked(5));
    // A click in the box of the first item toggles it.
    RECT item;
    ::SendMessageW(list.window(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    ::SendMessageW(list.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 4, item.top + 4));
    ::SendMessageW(list.window(), WM_LBUTTONUP, 0, MAKELPARAM(item.left + 4, item.top + 4));
    EXPECT_TRUE(list.ItemChecked(0));
    EXPECT_EQ(calls_, (std::vector<std::string>{"CheckListBox1ClickCheck:List1:OnClickCheck"}));
}

TEST_F(ToolkitPage, DialogRulesReadAndSetControlsThroughThePage) {
    Make(PageForm({Obj("TRzCheckBox", "CheckBox1", {Flag("Checked", true)}), Obj("TButton", "Button1", {}),
                   Obj("TEdit", "Edit1", {Prop("Text", "typed")}), Obj("TLabel", "Label1", {})}));
    toolkit::PageRuleTarget target(*page_);
    ApplyRules(ParseDialogRules("\"IF  CheckBox1.Checked = True)  THEN  Button1.Enabled := False;\","
                                "\"IF  CheckBox1.Checked = True)  THEN  Label1.Caption := Edit1.Text;\","
                                "\"IF  CheckBox1.Checked = True)  THEN  Button1.NoSuchThing := 1;\""),
               target);
    EXPECT_FALSE(::IsWindowEnabled(Get("Button1").window()));
    EXPECT_EQ(Text(Get("Label1").window()), "typed");
    EXPECT_FALSE(Get("Button1").Property("NoSuchThing").has_value());
    EXPECT_FALSE(target.PropertyText("TestPage", "Caption").has_value());
}
