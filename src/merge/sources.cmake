# Sources of merge/, listed relative to this file.
set(MERGE_SOURCES
)
