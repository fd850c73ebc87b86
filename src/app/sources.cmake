# Sources of app/, listed relative to this file.
set(APP_SOURCES
)
