#include "model/CVeyBufferManager.h"

#include "model/CVeyScriptDefinitions.h"

#include <algorithm>
#include <istream>

CVeyBufferManager& CVeyBufferManager::GetInstance()
{
    static CVeyBufferManager instance;
    return instance;
}

CVeyBufferManager::CVeyBufferManager() = default;

CVeyBufferManager::~CVeyBufferManager()
{
    // At exit the script definitions may already be gone: only the model's own parts are freed.
    ClearModel();
}

// ---- lookup ----

bool CVeyBufferManager::FindValue(const std::string& path, CVeyValue*& value) const
{
    for (const CVeyStructList* list : {&m_roots, &m_midiStructs})
        for (const auto& root : *list)
            if (root->FindValue(path, value))
                return true;
    return false;
}

bool CVeyBufferManager::FindStruct(const std::string& path, CVeyStruct*& found) const
{
    for (const CVeyStructList* list : {&m_roots, &m_midiStructs})
        for (const auto& root : *list)
            if (root->FindStruct(path, found))
                return true;
    return false;
}

CVeyStruct* CVeyBufferManager::FindStructOrNull(const std::string& path) const
{
    CVeyStruct* found = nullptr;
    FindStruct(path, found);
    return found;
}

CVeyValue* CVeyBufferManager::FindValueOrNull(const std::string& path) const
{
    CVeyValue* found = nullptr;
    FindValue(path, found);
    return found;
}

// ---- changes ----

void CVeyBufferManager::MarkAndNotify(const CVeyValueList& values)
{
    MarkChangedAll(values);
    if (!m_handlers.empty())
        m_handlers.OnValuesChanged(values);
}

void CVeyBufferManager::ApplyNumbers(const CVeyValueNumbers& changes)
{
    for (const auto& [value, number] : changes)
        value->SetNumber(number);
}

void CVeyBufferManager::ApplyTexts(const CVeyValueTexts& changes)
{
    for (const auto& [value, text] : changes)
        value->SetText(text);
}

void CVeyBufferManager::SetValues(const CVeyValueNumbers& changes)
{
    CVeyValueList values;
    SetValues(changes, values);
}

void CVeyBufferManager::SetValues(const CVeyValueNumbers& changes, CVeyValueList& values)
{
    if (!m_handlers.empty() && m_handlers.OnSetValues(changes))
        return;
    ApplyNumbers(changes);
    values.clear();
    // Asked only when the list must grow: a value turned step by step reuses one list.
    if (values.capacity() < changes.size())
        values.reserve(changes.size());
    for (const auto& change : changes)
        values.push_back(change.first);
    MarkAndNotify(values);
}

void CVeyBufferManager::SetTexts(const CVeyValueTexts& changes)
{
    if (m_handlers.OnSetTexts(changes))
        return;
    ApplyTexts(changes);
    CVeyValueList values;
    values.reserve(changes.size());
    for (const auto& change : changes)
        values.push_back(change.first);
    MarkAndNotify(values);
}

void CVeyBufferManager::SetArrays(const CVeyValueArrays& changes)
{
    if (m_handlers.OnSetArrays(changes))
        return;
    CVeyValueList values;
    values.reserve(changes.size());
    for (const auto& [value, numbers] : changes)
    {
        value->SetArray(numbers);
        values.push_back(value);
    }
    MarkAndNotify(values);
}

void CVeyBufferManager::SetValue(CVeyValue* value, int32_t number)
{
    if (m_settingOne)
    {
        SetValues({{value, number}});
        return;
    }
    m_settingOne = true;
    m_oneNumber.assign(1, {value, number});
    SetValues(m_oneNumber, m_oneValue);
    m_settingOne = false;
}

void CVeyBufferManager::SetText(CVeyValue* value, const std::string& text)
{
    SetTexts({{value, text}});
}

void CVeyBufferManager::SetArray(CVeyValue* value, const std::vector<int32_t>& numbers)
{
    SetArrays({{value, numbers}});
}

void CVeyBufferManager::SetValueByIndex(CVeyValue* value, int32_t index)
{
    SetValue(value, value->GetDefinition()->IndexToValue(index));
}

bool CVeyBufferManager::SetStructData(CVeyStruct* leaf, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t>* data = leaf ? leaf->GetData() : nullptr;
    if (!data || data->size() != bytes.size())
        return false;
    std::vector<CVeyValue>& leafValues = *leaf->GetValues();
    CVeyValueList values;
    CVeyValueNumbers numbers;
    CVeyValueTexts texts;
    for (CVeyValue& value : leafValues)
    {
        values.push_back(&value);
        const uint8_t* at = bytes.data() + value.GetAddressRange().begin;
        if (value.GetKind() == CVeyValue::kNumber)
            numbers.emplace_back(&value, value.DecodeNumber(at));
        else
            texts.emplace_back(&value, std::string(reinterpret_cast<const char*>(at), static_cast<size_t>(value.GetSize())));
    }
    if (m_handlers.OnSetValues(numbers) || m_handlers.OnSetTexts(texts))
        return true;
    *data = bytes;
    MarkAndNotify(values);
    return true;
}

namespace
{
class CRevertVisitor : public CVeyBufferOperation::IVisitor
{
public:
    void Enter(CVeyStruct& s) override
    {
        if (std::vector<CVeyValue>* values = s.GetValues())
            for (CVeyValue& value : *values)
            {
                all.push_back(&value);
                if (value.GetKind() == CVeyValue::kNumber)
                    numbers.emplace_back(&value, value.GetDefinition()->defaultNumber);
                else
                    texts.emplace_back(&value, value.GetDefinition()->defaultText);
            }
    }
    void Leave(CVeyStruct&) override {}

    CVeyValueList all;
    CVeyValueNumbers numbers;
    CVeyValueTexts texts;
};
}

void CVeyBufferManager::RevertStructToDefault(CVeyStruct* s)
{
    if (!s)
        return;
    CRevertVisitor visitor;
    CVeyBufferOperation::Walk(*s, visitor);
    if (m_handlers.OnSetValues(visitor.numbers) || m_handlers.OnSetTexts(visitor.texts))
        return;
    for (CVeyValue* value : visitor.all)
        value->RevertToDefault();
    MarkAndNotify(visitor.all);
}

void CVeyBufferManager::MarkChanged(CVeyValue* value)
{
    m_changes.push_back(value);
    if (CVeyRootStruct* root = value->GetRootStruct())
        root->SetModified(true);
}

void CVeyBufferManager::MarkChangedAll(const CVeyValueList& values)
{
    // `values` may be the change list itself: index, and read the size once.
    // Values of one struct come together (a received block): their root is found once.
    const size_t count = values.size();
    // Grown as push_back would: changes marked one at a time between two clears stay linear.
    if (m_changes.capacity() < m_changes.size() + count)
        m_changes.reserve(std::max(m_changes.size() + count, 2 * m_changes.capacity()));
    const CVeyStruct* parent = nullptr;
    CVeyRootStruct* root = nullptr;
    for (size_t i = 0; i < count; ++i)
    {
        CVeyValue* value = values[i];
        m_changes.push_back(value);
        const CVeyStruct* valueParent = value->GetParent();
        if (!parent || valueParent != parent)
        {
            parent = valueParent;
            uint32_t begin = 0;
            root = parent ? parent->GetCachedRootAndBegin(begin) : value->GetRootStruct();
        }
        if (root)
            root->SetModified(true);
    }
}

bool CVeyBufferManager::OnValuesReceived(const CVeyValueList& values)
{
    MarkChangedAll(values);
    m_handlers.OnValuesReceived(values);
    return true;
}

namespace
{
bool ReadBlocks(CVeyStruct* s, std::istream& stream, CVeyBufferHandlers& handlers, CVeyBufferManager& manager)
{
    if (std::vector<uint8_t>* data = s->GetData())
    {
        // A handler that takes the block over has consumed its bytes and finished the struct:
        // its children are not visited and its values are neither marked nor announced.
        if (handlers.OnReadStructData(s, stream))
            return true;
        stream.read(reinterpret_cast<char*>(data->data()), static_cast<std::streamsize>(data->size()));
        if (!stream)
            return false;
    }
    if (CVeyStructList* children = s->GetChildStructs())
        for (auto& child : *children)
            if (!ReadBlocks(child.get(), stream, handlers, manager))
                return false;
    if (std::vector<CVeyValue>* values = s->GetValues())
    {
        CVeyValueList list;
        list.reserve(values->size());
        for (CVeyValue& value : *values)
            list.push_back(&value);
        manager.MarkChangedAll(list);
        handlers.OnDataRead(list);
    }
    return true;
}

// Bytes left in a seekable stream, or -1 when the stream cannot tell.
std::streamoff RemainingBytes(std::istream& stream)
{
    const std::streampos here = stream.tellg();
    if (here == std::streampos(-1))
        return -1;
    stream.seekg(0, std::ios::end);
    const std::streampos end = stream.tellg();
    stream.seekg(here);
    if (end == std::streampos(-1) || !stream)
    {
        stream.clear();
        stream.seekg(here);
        return -1;
    }
    return end - here;
}
}

bool CVeyBufferManager::ReadStructData(CVeyStruct* s, std::istream& stream)
{
    if (!s)
        return false;
    // A short body would leave the model half old, half new, with the new half on the change list
    // waiting to be sent; refuse it before anything is written.
    const std::streamoff remaining = RemainingBytes(stream);
    if (remaining >= 0 && static_cast<size_t>(remaining) < GetStructDataSize(*s))
        return false;
    return ReadBlocks(s, stream, m_handlers, *this);
}

// ---- commit ----

bool CVeyBufferManager::Flush()
{
    for (size_t i = 0; i < m_changes.size(); ++i)
        m_changes[i]->Transmit();
    for (const auto& link : m_links)
        link->Update();
    return true;
}

bool CVeyBufferManager::UpdateViews()
{
    return m_viewUpdater ? m_viewUpdater->UpdateViews(m_changes) : false;
}

void CVeyBufferManager::ClearChanges()
{
    m_changes.clear();
}

// ---- building and teardown ----

void CVeyBufferManager::AddRootStruct(std::unique_ptr<CVeyStruct> root)
{
    if (root)
        m_roots.push_back(std::move(root));
}

void CVeyBufferManager::AddMidiStruct(std::unique_ptr<CVeyStruct> midiStruct)
{
    if (midiStruct)
        m_midiStructs.push_back(std::move(midiStruct));
}

void CVeyBufferManager::AddMidiMessageValueLink(std::unique_ptr<IVeyMidiMessageValueLink> link)
{
    if (link)
        m_links.push_back(std::move(link));
}

const CVeyStructDefinition* CVeyBufferManager::InternStructDefinition(const CVeyStructDefinition& definition)
{
    return &*m_structDefinitions.insert(definition).first;
}

const CVeyValueDefinition* CVeyBufferManager::InternValueDefinition(const CVeyValueDefinition& definition)
{
    return &*m_valueDefinitions.insert(definition).first;
}

void CVeyBufferManager::Clear()
{
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().Clear();
    ClearModel();
}

void CVeyBufferManager::ClearModel()
{
    // Handlers and links hold pointers into the tree: they go first, the pools last.
    m_handlers.Clear();
    m_links.clear();
    m_changes.clear();
    m_roots.clear();
    m_midiStructs.clear();
    // The set's buckets go too: kept, those of the largest model ever made would be swept on
    // every later clear and left to a small model that needs a fraction of them.
    decltype(m_structDefinitions)().swap(m_structDefinitions);
    m_valueDefinitions.clear();
}
