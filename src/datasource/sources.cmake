# Sources of datasource/, listed relative to this file.
set(DATASOURCE_SOURCES
)
