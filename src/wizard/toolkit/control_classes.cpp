#include "wizard/toolkit/control_classes.h"

#include "common/text.h"
#include "wizard/form_numbers.h"
#include "wizard/form_properties.h"

namespace qv::toolkit {

namespace {

using K = NativeKind;

const char* const kEditDefaults =
    "Width=121;Height=21;Color=clWindow;TabStop=True;MaxLength=0;ReadOnly=False;BorderStyle=bsSingle;"
    "CharCase=ecNormal;AutoSelect=True;AutoSize=True;Text=''";
const char* const kListDefaults =
    "Width=121;Height=97;Color=clWindow;TabStop=True;ItemIndex=-1;Sorted=False;MultiSelect=False;"
    "ItemHeight=13;IntegralHeight=False";

}  // namespace

const std::vector<ControlClass>& ControlClasses() {
    static const std::vector<ControlClass> classes = {
        {"TLabel", nullptr, K::Label, false, false,
         "Width=65;Height=13;AutoSize=True;Alignment=taLeftJustify;WordWrap=False;Transparent=False;"
         "ShowAccelChar=True;Layout=tlTop;ParentColor=True;Caption=''"},
        {"TEdit", nullptr, K::Edit, false, true, kEditDefaults},
        {"TMemo", nullptr, K::Memo, false, true,
         "Width=185;Height=89;Color=clWindow;TabStop=True;ScrollBars=ssNone;WordWrap=True;ReadOnly=False;"
         "WantReturns=True;WantTabs=False;Alignment=taLeftJustify;MaxLength=0"},
        {"TButton", nullptr, K::Button, false, true,
         "Width=75;Height=25;TabStop=True;Default=False;Cancel=False;ModalResult=0;Caption=''"},
        {"TRzCheckBox", nullptr, K::CheckBox, false, true,
         "Width=97;Height=17;TabStop=True;ParentColor=True;Checked=False;State=cbUnchecked;AllowGrayed=False;"
         "Alignment=taRightJustify;WordWrap=False;Caption=''"},
        {"TRzRadioButton", nullptr, K::RadioButton, false, true,
         "Width=113;Height=17;TabStop=True;ParentColor=True;Checked=False;Alignment=taRightJustify;WordWrap=False;Caption=''"},
        {"TListBox", nullptr, K::ListBox, false, true, kListDefaults},
        {"TComboBox", nullptr, K::ComboBox, false, true,
         "Width=145;Height=21;Color=clWindow;TabStop=True;Style=csDropDown;DropDownCount=8;ItemIndex=-1;"
         "Sorted=False;MaxLength=0;Text=''"},
        {"TGroupBox", nullptr, K::GroupBox, true, true, "Width=185;Height=105;TabStop=False;ParentColor=True;Caption=''"},
        {"TPanel", nullptr, K::Panel, true, true,
         "Width=185;Height=41;TabStop=False;BevelOuter=bvRaised;BevelInner=bvNone;BevelWidth=1;BorderWidth=0;"
         "BorderStyle=bsNone;Alignment=taCenter;Color=clBtnFace;ParentColor=False;Caption=''"},
        {"TBitBtn", "TButton", K::BitButton, false, true,
         "Width=75;Height=25;TabStop=True;Default=False;Cancel=False;ModalResult=0;Kind=bkCustom;"
         "Layout=blGlyphLeft;Margin=-1;Spacing=4;NumGlyphs=1;Caption=''"},
        {"TSpeedButton", nullptr, K::SpeedButton, false, false,
         "Width=23;Height=22;TabStop=False;Flat=False;GroupIndex=0;Down=False;AllowAllUp=False;NumGlyphs=1;"
         "Layout=blGlyphLeft;Margin=-1;Spacing=4;Caption=''"},
        {"TMaskEdit", nullptr, K::Edit, false, true, kEditDefaults},
        {"TImage", nullptr, K::Image, false, false,
         "Width=105;Height=105;Stretch=False;Center=False;Proportional=False;Transparent=False;AutoSize=False"},
        {"TShape", nullptr, K::Shape, false, false,
         "Width=65;Height=65;Shape=stRectangle;Brush.Color=clWhite;Brush.Style=bsSolid;Pen.Color=clBlack;"
         "Pen.Width=1;Pen.Style=psSolid"},
        {"TBevel", nullptr, K::Bevel, false, false, "Width=50;Height=50;Shape=bsBox;Style=bsLowered"},
        {"TStaticText", nullptr, K::StaticText, false, true,
         "Width=65;Height=17;TabStop=False;ParentColor=True;AutoSize=True;BorderStyle=sbsNone;Alignment=taLeftJustify;"
         "ShowAccelChar=True;Caption=''"},
        {"TGauge", nullptr, K::Gauge, false, false,
         "Width=100;Height=100;Kind=gkHorizontalBar;MinValue=0;MaxValue=100;Progress=0;ForeColor=clBlack;"
         "BackColor=clWhite;ShowText=True;BorderStyle=bsSingle"},
        {"TRichEdit", nullptr, K::RichEdit, false, true,
         "Width=185;Height=89;Color=clWindow;TabStop=True;ScrollBars=ssNone;WordWrap=True;ReadOnly=False;"
         "PlainText=False;WantReturns=True;WantTabs=False;HideSelection=True;MaxLength=0"},
        {"TTrackBar", nullptr, K::TrackBar, false, true,
         "Width=150;Height=45;TabStop=True;Min=0;Max=10;Position=0;Orientation=trHorizontal;Frequency=1;"
         "TickMarks=tmBottomRight;TickStyle=tsAuto;LineSize=1;PageSize=2"},
        {"TProgressBar", nullptr, K::ProgressBar, false, true,
         "Width=150;Height=16;TabStop=False;Min=0;Max=100;Position=0;Orientation=pbHorizontal;Smooth=False;Step=10"},
        {"TUpDown", nullptr, K::UpDown, false, true,
         "Width=17;Height=25;TabStop=False;Min=0;Max=100;Position=0;Increment=1;Orientation=udVertical;"
         "Wrap=False;ArrowKeys=True;Thousands=True;AlignButton=udRight"},
        {"TAnimate", nullptr, K::Animate, false, true,
         "Width=100;Height=80;TabStop=False;Active=False;CommonAVI=aviNone;FileName='';Center=True;"
         "Transparent=True;Repetitions=0"},
        {"TCheckListBox", nullptr, K::CheckListBox, false, true, kListDefaults},
        {"TTreeView", nullptr, K::TreeView, false, true,
         "Width=121;Height=97;Color=clWindow;TabStop=True;ShowButtons=True;ShowLines=True;ShowRoot=True;"
         "HideSelection=True;ReadOnly=False;AutoExpand=False;RowSelect=False;BorderStyle=bsSingle"},
        {"THTMLViewer", nullptr, K::Placeholder, false, true, "Width=150;Height=150;TabStop=True;Color=clWindow"},
        {"TFileListBox", nullptr, K::FileList, false, true,
         "Width=145;Height=97;Color=clWindow;TabStop=True;ItemIndex=-1;Mask='*.*';MultiSelect=False;"
         "ShowGlyphs=False;ItemHeight=13;FileName='';Directory=''"},
        {"TDirectoryListBox", nullptr, K::DirectoryList, false, true,
         "Width=145;Height=97;Color=clWindow;TabStop=True;ItemHeight=16;Directory=''"},
        {"TDriveComboBox", nullptr, K::DriveCombo, false, true,
         "Width=145;Height=21;Color=clWindow;TabStop=True;TextCase=tcLowerCase;Drive=''"},
        {"TFilterComboBox", nullptr, K::FilterCombo, false, true,
         "Width=145;Height=21;Color=clWindow;TabStop=True;Filter='All files (*.*)|*.*';Mask=''"},
        {"TPTShellTree", nullptr, K::ShellTree, false, true,
         "Width=121;Height=97;Color=clWindow;TabStop=True;HideSelection=True;Path=''"},
        {"TPTShellList", nullptr, K::ShellList, false, true,
         "Width=250;Height=150;Color=clWindow;TabStop=True;HideSelection=True;Path=''"},
        {"TPTShellCombo", nullptr, K::ShellCombo, false, true,
         "Width=145;Height=22;Color=clWindow;TabStop=True;Path=''"},
        {"TFlashFrame", nullptr, K::Placeholder, false, true, "Width=320;Height=240;TabStop=False;Color=clWindow"},
        {"TRzFormShape", nullptr, K::FormShape, false, false, "Width=105;Height=105;Stretch=False;Center=False"},
        {"TRzBmpButton", nullptr, K::BmpButton, false, true, "Width=75;Height=25;TabStop=True;Caption=''"},
    };
    return classes;
}

const ControlClass* FindControlClass(std::string_view className) {
    for (const ControlClass& c : ControlClasses())
        if (EqualsIgnoreCaseAscii(c.name, className)) return &c;
    return nullptr;
}

bool InheritsFrom(std::string_view className, std::string_view ancestor) {
    for (const ControlClass* c = FindControlClass(className); c; c = c->base ? FindControlClass(c->base) : nullptr)
        if (EqualsIgnoreCaseAscii(c->name, ancestor)) return true;
    return EqualsIgnoreCaseAscii(className, ancestor);
}

namespace {

FormValue DefaultValue(std::string_view text) {
    if (text.size() >= 2 && text.front() == '\'') return FormValue::Str(std::string(text.substr(1, text.size() - 2)));
    if (text == "True" || text == "False") return FormValue::Bool(text == "True");
    if (auto number = ParseIntegerText(text)) return FormValue::Int(*number);
    return FormValue::Ident(std::string(text));
}

void AddMissing(FormObject& object, std::string_view name, FormValue value) {
    if (!FindProperty(object, name)) object.properties.push_back({std::string(name), std::move(value)});
}

void AddDefaults(FormObject& object, std::string_view list) {
    while (!list.empty()) {
        std::size_t end = list.find(';');
        std::string_view item = list.substr(0, end);
        std::size_t eq = item.find('=');
        AddMissing(object, item.substr(0, eq), DefaultValue(item.substr(eq + 1)));
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    }
}

void AddFontDefaults(FormObject& object) {
    AddMissing(object, "Font.Name", FormValue::Str("MS Sans Serif"));
    AddMissing(object, "Font.Height", FormValue::Int(-11));
    AddMissing(object, "Font.Color", FormValue::Ident("clWindowText"));
    AddMissing(object, "Font.Charset", FormValue::Ident("DEFAULT_CHARSET"));
    AddMissing(object, "Font.Style", FormValue::SetOf({}));
}

bool StoresFont(const FormObject& object) {
    for (const FormProperty& p : object.properties)
        if (StartsWith(LowerAscii(p.name), "font.")) return true;
    return false;
}

}  // namespace

FormObject WithClassDefaults(const FormObject& object, int siblingIndex) {
    FormObject out;
    out.className = object.className;
    out.name = object.name;
    out.properties = object.properties;
    out.inherited = object.inherited;
    out.isInline = object.isInline;
    out.childPosition = object.childPosition;
    const ControlClass* c = FindControlClass(object.className);
    if (c) AddDefaults(out, c->defaults);
    // A control that stores a font of its own no longer follows its parent's.
    AddMissing(out, "ParentFont", FormValue::Bool(!StoresFont(object)));
    if (StoresFont(object)) AddFontDefaults(out);
    AddDefaults(out, "ParentColor=False;Left=0;Top=0;Visible=True;Enabled=True;Tag=0;Hint='';Align=alNone;Color=clBtnFace");
    AddMissing(out, "TabOrder", FormValue::Int(siblingIndex));
    return out;
}

FormObject WithPageDefaults(const FormObject& root) {
    FormObject out;
    out.className = root.className;
    out.name = root.name;
    out.properties = root.properties;
    AddFontDefaults(out);
    AddDefaults(out,
                "Left=0;Top=0;Width=320;Height=240;Caption='';Color=clBtnFace;PixelsPerInch=96;Scaled=True;"
                "Visible=False;Enabled=True;Tag=0;Hint='';BorderStyle=bsDialog;KeyPreview=False");
    return out;
}

}  // namespace qv::toolkit
