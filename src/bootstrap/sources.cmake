# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  bootstrap/package.cpp
  bootstrap/command_line.cpp
)
list(APPEND qv_stub_sources
  bootstrap/startup.cpp
  bootstrap/workspace.cpp
  bootstrap/wrap_package.cpp
  bootstrap/startup_windows.cpp
  bootstrap/win_host.cpp
  bootstrap/stub_commands.cpp
)
