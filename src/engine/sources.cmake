# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  engine/variable_store.cpp
  engine/validate.cpp
  engine/trace.cpp
  engine/script_engine.cpp
  engine/core_commands.cpp
  engine/control_flow.cpp
  engine/value_commands.cpp
  engine/termination.cpp
  engine/session_start.cpp
)
