# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_platform_sources
  platform/files.cpp
  platform/registry.cpp
  platform/system_facts.cpp
  platform/module_image.cpp
  platform/long_operation.cpp
  platform/file_facts.cpp
  platform/folder_security.cpp
)
