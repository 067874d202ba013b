"""Text forms of the wizard pages the GUI tests drive: each page is a white
dialog with a row of Back / Next / Cancel buttons (Tags 2, 1 and 3) under a
bevel, plus the controls a test names."""


def _button(name, caption, left, tag, tab, extra=""):
    return f"""  object {name}: TButton
    Left = {left}
    Top = 276
    Width = 75
    Height = 25
    Caption = '{caption}'
    Tag = {tag}
    TabOrder = {tab}{extra}
  end
"""


def page(name, caption, body="", next_caption="Next >", first_tab=0):
    """A page named `name` with the window caption `caption`; `body` holds
    the text of its own controls (tab orders below `first_tab` + 0..2 are the
    body's)."""
    tab = first_tab
    buttons = (_button("BackButton", "< Back", 248, 2, tab)
               + _button("NextButton", next_caption, 328, 1, tab + 1, "\n    Default = True")
               + _button("CancelButton", "Cancel", 412, 3, tab + 2, "\n    Cancel = True"))
    return f"""object {name}: TPoolTemplate
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = '{caption}'
  ClientHeight = 313
  ClientWidth = 497
  Color = clWhite
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  PixelsPerInch = 96
{body}  object Bevel1: TBevel
    Left = 0
    Top = 264
    Width = 497
    Height = 2
    Shape = bsTopLine
  end
{buttons}end
"""


def label(name, text, top=24, height=40):
    return f"""  object {name}: TLabel
    Left = 24
    Top = {top}
    Width = 440
    Height = {height}
    AutoSize = False
    Caption = '{text}'
    WordWrap = True
  end
"""
