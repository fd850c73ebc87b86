#include "merge/CRowValues.h"

#include <utility>

CRowValues::CRowValues(std::initializer_list<std::string> texts) : m_texts(texts)
{
}

bool CRowValues::IsQuoted(std::size_t i) const
{
    if (i < kInlineFlags)
        return (m_quotedFirst >> i) & 1u;
    const std::size_t bit = i - kInlineFlags;
    return (m_quotedMore[bit / 64] >> (bit % 64)) & 1u;
}

void CRowValues::Add(std::string text, bool quoted)
{
    const std::size_t i = m_texts.size();
    m_texts.push_back(std::move(text));
    if (i < kInlineFlags) {
        if (quoted)
            m_quotedFirst |= std::uint64_t(1) << i;
        return;
    }
    const std::size_t bit = i - kInlineFlags;
    if (bit % 64 == 0)
        m_quotedMore.push_back(0);
    if (quoted)
        m_quotedMore[bit / 64] |= std::uint64_t(1) << (bit % 64);
}

void CRowValues::RemoveAll()
{
    m_texts.clear();
    m_quotedFirst = 0;
    m_quotedMore.clear();
}
