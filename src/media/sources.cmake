# The sources of this folder, by library (see src/CMakeLists.txt).
list(APPEND qv_stub_sources
  media/archive_files.cpp
  media/codec_staging.cpp
  media/archive_commands.cpp
)
