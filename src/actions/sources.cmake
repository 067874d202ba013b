# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_stub_sources
  actions/shell_run.cpp
  actions/file_commands.cpp
)
list(APPEND qv_core_sources
  actions/deferred_recording.cpp
  actions/deferred_file_commands.cpp
  actions/file_paths.cpp
  actions/file_search.cpp
)
