#pragma once
// The string table format of strings.txt: one entry a line, the number, a tab
// and the text, "\n" standing for a line break; lines starting with "#" and
// lines without a tab are comments.
#include <map>
#include <string>

class QByteArray;

std::map<int, std::string> ParseStringTable(const QByteArray& bytes);
