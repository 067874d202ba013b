// Pages for the form runtime's tests: trees written with the in-tree
// writer and read back, so that every page comes through the binary format,
// made into hidden page windows with handlers that record their calls.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "wizard/form_file.h"
#include "wizard/toolkit/page.h"

namespace qv::testing {

inline FormProperty Prop(const char* name, FormValue value) { return {name, std::move(value)}; }
inline FormProperty Prop(const char* name, int value) { return {name, FormValue::Int(value)}; }
inline FormProperty Prop(const char* name, const char* text) { return {name, FormValue::Str(text)}; }
inline FormProperty Flag(const char* name, bool value) { return {name, FormValue::Bool(value)}; }
inline FormProperty Ident(const char* name, const char* identifier) { return {name, FormValue::Ident(identifier)}; }
inline FormProperty Lines(const char* name, std::vector<std::string> lines) {
    std::vector<FormValue> items;
    for (auto& line : lines) items.push_back(FormValue::Str(line));
    return {name, FormValue::ListOf(std::move(items))};
}

inline FormObject Obj(const char* className, const char* name, std::vector<FormProperty> properties,
                      std::vector<FormObject> children = {}) {
    FormObject object;
    object.className = className;
    object.name = name;
    object.properties = std::move(properties);
    object.children = std::move(children);
    return object;
}

// The page of the children, at 96 pixels per inch, through the binary format.
inline FormObject PageForm(std::vector<FormObject> children, std::vector<FormProperty> properties = {}) {
    properties.push_back(Prop("ClientWidth", 400));
    properties.push_back(Prop("ClientHeight", 300));
    properties.push_back(Prop("PixelsPerInch", 96));
    return ReadForm(WriteFormResource(Obj("TPoolTemplate", "TestPage", std::move(properties), std::move(children))));
}

class ToolkitPage : public ::testing::Test {
protected:
    // Handlers by these names record "Handler:Sender:Event" in calls_.
    toolkit::PageOptions Options() {
        toolkit::PageOptions options;
        for (const char* name : {"Button1Click", "Edit1Change", "CheckBox1Click", "RadioButton1Click",
                                 "ListBox1Click", "ComboBox1Change", "ComboBox1Click", "TrackBar1Change",
                                 "TreeView1Change", "CheckListBox1ClickCheck", "Memo1Change"}) {
            std::string handler = name;
            options.handlers[handler] = [this, handler](toolkit::Control& sender, const toolkit::Event& e) {
                calls_.push_back(handler + ":" + sender.name() + ":" + e.name);
            };
        }
        options.screenPixelsPerInch = 96;
        options.onError = [this](toolkit::Page&, const std::exception& e) { errors_.push_back(e.what()); };
        return options;
    }

    // Pages need windows, which the system makes only with a display.
    void SetUp() override {
        HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (!probe) GTEST_SKIP() << "no display";
        ::DestroyWindow(probe);
    }

    void Make(const FormObject& form, toolkit::PageOptions options) {
        page_ = toolkit::Page::Create(form, std::move(options));
    }
    void Make(const FormObject& form) { Make(form, Options()); }

    toolkit::Control& Get(const char* name) {
        toolkit::Control* c = page_->Find(name);
        if (!c) throw std::runtime_error(std::string("no control ") + name);
        return *c;
    }

    // Where the control's window is within its parent's client area.
    RECT Placed(const char* name) {
        HWND w = Get(name).window();
        RECT r;
        ::GetWindowRect(w, &r);
        ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    std::unique_ptr<toolkit::Page> page_;
    std::vector<std::string> calls_;
    std::vector<std::string> errors_;
};

}  // namespace qv::testing
