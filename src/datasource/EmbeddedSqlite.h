#pragma once
// The SQLite3 ODBC driver runs SQLite inside this process. Two settings of
// that library cost the program a third of its CPU when two SQLite connections
// dump at the same time: its memory statistics (one process-wide lock taken on
// every allocation and free) and its per-connection locks (taken on every
// sqlite3_column_* call, for a connection that only one thread uses at a time
// anyway: a compare run dumps each side on its own connection).
//
// TuneEmbeddedSqlite turns both off, once, before any driver has started the
// library. It does nothing when a driver carries a copy of its own, or when
// the library was already started (SQLite then keeps its defaults and refuses
// the change). Call it before the first connection is made, and before the
// program opens a SQLite file itself (SqliteFileReader).
void TuneEmbeddedSqlite();
