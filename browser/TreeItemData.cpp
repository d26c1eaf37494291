#include "browser/TreeItemData.h"

CTreeItemData::CTreeItemData(const TreeItemRecord& record, CTreeItemData* previous)
    : TreeItemRecord(record)
    , m_previous(previous)
{
    if (previous)
        previous->m_next = this;
}

CTreeItemData::~CTreeItemData()
{
    if (m_previous)
        m_previous->m_next = m_next;
    if (m_next)
        m_next->m_previous = m_previous;
}

CTreeItemList::~CTreeItemList()
{
    Clear();
}

CTreeItemData* CTreeItemList::Append(const TreeItemRecord& record)
{
    auto* data = new CTreeItemData(record, m_last);
    if (!m_first)
        m_first = data;
    m_last = data;
    return data;
}

void CTreeItemList::Clear()
{
    while (m_first) {
        CTreeItemData* next = m_first->Next();
        delete m_first;
        m_first = next;
    }
    m_last = nullptr;
}
