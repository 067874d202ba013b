# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  wizard/message_table.cpp
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
