#pragma once
// The subcommands that read two data sources: tables, compare and verify.
// Each returns the exit status.
class CliSession;

int RunTables(CliSession& session);
int RunCompare(CliSession& session);
int RunVerify(CliSession& session);
