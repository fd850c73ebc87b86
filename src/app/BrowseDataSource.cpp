#include "app/BrowseDataSource.h"

#include <QLineEdit>

#include "datasource/CDatabase.h"

void BrowseDataSource(QLineEdit* edit, std::string& name, CDatabase& database)
{
    if (edit)
        name = edit->text().toStdString();
    if (!database.OpenDataSource("", "ODBC;", true))
        return;
    ExtractDataSourceName(database.m_strConnect, name);
    if (edit)
        edit->setText(QString::fromStdString(name));
    database.Close();
}
