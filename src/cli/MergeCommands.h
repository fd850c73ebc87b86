#pragma once
// The subcommands that read a merge file: preview, sql and apply. Each returns
// the exit status.
class CliSession;

int RunPreview(CliSession& session);
int RunSql(CliSession& session);
int RunApply(CliSession& session);
