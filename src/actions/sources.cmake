# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_stub_sources
  actions/shell_run.cpp
)
