# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  wizard/message_table.cpp
  wizard/translation_tables.cpp
  wizard/translation_form.cpp
  wizard/language_names.cpp
  wizard/language_selection.cpp
  wizard/progress_state.cpp
  wizard/form_file.cpp
  wizard/form_numbers.cpp
  wizard/form_properties.cpp
  wizard/form_reader.cpp
  wizard/form_text.cpp
  wizard/form_unicode.cpp
  wizard/form_writer.cpp
  wizard/dialog_rules.cpp
  wizard/target_folder.cpp
  wizard/dialog_commands.cpp
)
list(APPEND qv_stub_sources
  wizard/language_win.cpp
  wizard/language_form.cpp
)
# The form runtime (toolkit/): portable reading of the controls' properties,
# and the page windows.
list(APPEND qv_core_sources
  wizard/toolkit/appearance.cpp
  wizard/toolkit/control_classes.cpp
  wizard/toolkit/graphic_data.cpp
  wizard/toolkit/layout.cpp
)
list(APPEND qv_stub_sources
  wizard/toolkit/control.cpp
  wizard/toolkit/control_values.cpp
  wizard/toolkit/file_controls.cpp
  wizard/toolkit/keyboard.cpp
  wizard/toolkit/native_controls.cpp
  wizard/toolkit/notifications.cpp
  wizard/toolkit/page.cpp
  wizard/toolkit/painting.cpp
  wizard/toolkit/win_text.cpp
)
# The wizard's pages over the form runtime.
list(APPEND qv_stub_sources
  wizard/pool_template.cpp
  wizard/wizard_pages.cpp
  wizard/page_preparation.cpp
)
