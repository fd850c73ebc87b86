# Sources of ui/, listed relative to this file.
set(UI_SOURCES
)
