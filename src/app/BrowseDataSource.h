#pragma once
// The "..." button beside a data source field: the user picks a data source
// through the connection's prompt, its name goes into the field and the member.
#include <string>

class CDatabase;
class QLineEdit;

// Takes the field's text into `name`, then opens `database` without a name so
// that the prompt asks for one. When the user picks one, `name` becomes the
// data source name of the connection (ExtractDataSourceName), the field shows
// it, and the connection is closed again. A cancelled prompt changes nothing
// else; connection errors are raised.
void BrowseDataSource(QLineEdit* edit, std::string& name, CDatabase& database);
