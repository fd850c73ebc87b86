#include "merge/CRowValues.h"

#include <utility>

CRowValues::CRowValues(std::initializer_list<std::string> texts) : m_texts(texts), m_quoted(texts.size(), false)
{
}

void CRowValues::Add(std::string text, bool quoted)
{
    m_texts.push_back(std::move(text));
    m_quoted.push_back(quoted);
}

void CRowValues::RemoveAll()
{
    m_texts.clear();
    m_quoted.clear();
}
