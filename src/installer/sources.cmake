# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  installer/components.cpp
  installer/component_commands.cpp
  installer/product_registration_values.cpp
  installer/deferred_properties.cpp
  installer/installer_plan.cpp
  installer/derived_folders.cpp
  installer/property_command_line.cpp
  installer/handover_file.cpp
  installer/installer_log.cpp
  installer/message_handler.cpp
  installer/reserved_properties.cpp
  installer/language_codes.cpp
  installer/installer_outcome.cpp
  installer/database_statements.cpp
  installer/apply_changes_plan.cpp
)
list(APPEND qv_platform_sources
  installer/msi_library.cpp
  installer/product_queries.cpp
  installer/installer_database.cpp
  installer/installer_calls.cpp
  installer/source_folder_browser.cpp
)
list(APPEND qv_stub_sources
  installer/installer_run.cpp
  installer/apply_changes.cpp
  installer/transform_instance.cpp
)
list(APPEND qv_stub_sources
  installer/product_registration.cpp
)
