# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_core_sources
  common/text.cpp
)
