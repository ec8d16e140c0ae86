#include "model/CVeyStruct.h"

#include <atomic>

#include "model/CVeyBufferManager.h"
#include "model/IVeyModelLinks.h"
#include "toolkit/gt/TextOut.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <ostream>
#include <tuple>
#include <unordered_map>

namespace
{
const CVeyStructDefinition kEmptyStructDefinition{};
VeyStructCreator g_midiStructCreator = nullptr;

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
}

bool CVeyStructDefinition::operator<(const CVeyStructDefinition& other) const
{
    return std::tie(name, range.begin, range.end) < std::tie(other.name, other.range.begin, other.range.end);
}

bool CVeyStructDefinition::operator==(const CVeyStructDefinition& other) const
{
    return name == other.name && range.begin == other.range.begin && range.end == other.range.end;
}

size_t CVeyStructDefinition::CHash::operator()(const CVeyStructDefinition& definition) const
{
    size_t hash = std::hash<std::string>()(definition.name);
    for (const int32_t bound : {definition.range.begin, definition.range.end})
        hash = hash * 31 + std::hash<int32_t>()(bound);
    return hash;
}

// ---- CVeyStruct ----

namespace
{
// Counts the changes of parents and ranges anywhere; starts above the 0 of a struct never asked.
std::atomic<uint64_t> g_treeChanges{1};
}

CVeyStruct::CVeyStruct() : m_definition(&kEmptyStructDefinition)
{
}

void CVeyStruct::NoteTreeChanged()
{
    g_treeChanges.fetch_add(1, std::memory_order_relaxed);
}

CVeyRootStruct* CVeyStruct::GetCachedRootAndBegin(uint32_t& absoluteBegin) const
{
    const uint64_t changes = g_treeChanges.load(std::memory_order_relaxed);
    if (m_cachedTree != changes)
    {
        int32_t begin = 0;
        m_cachedRoot = WalkToRootStruct(begin);
        m_cachedBegin = static_cast<uint32_t>(begin);
        m_cachedTree = changes;
    }
    absoluteBegin = m_cachedBegin;
    return m_cachedRoot;
}

CVeyStruct::~CVeyStruct() = default;

bool CVeyStruct::AddChild(std::unique_ptr<CVeyStruct>)
{
    return false;
}

CVeyValue* CVeyStruct::AddValue(const CVeyValueDefinition*)
{
    return nullptr;
}

void CVeyStruct::SetDefinition(const CVeyStructDefinition* definition)
{
    NoteTreeChanged();
    m_definition = definition ? definition : &kEmptyStructDefinition;
}

bool CVeyStruct::SetAddressRange(const CVeyAddressRange& range)
{
    if (GetData() && range.GetSize() != GetAddressRange().GetSize())
        return false;
    CVeyStructDefinition definition{GetName(), range};
    NoteTreeChanged();
    m_definition = CVeyBufferManager::GetInstance().InternStructDefinition(definition);
    return true;
}

int32_t CVeyStruct::GetChildrenEnd() const
{
    int32_t end = 0;
    if (const CVeyStructList* children = GetChildStructs())
        for (const auto& child : *children)
            end = std::max(end, child->GetAddressRange().end);
    if (const std::vector<CVeyValue>* values = GetValues())
        for (const CVeyValue& value : *values)
            end = std::max(end, value.GetAddressRange().end);
    return end;
}

bool CVeyStruct::AttachToParent(CVeyStruct* parent)
{
    const CVeyAddressRange& own = GetAddressRange();
    const int32_t parentSize = parent ? parent->GetAddressRange().GetSize() : 0;
    // A negative offset or an inverted range would put the struct in front of its parent's bytes.
    if (!parent || own.begin < 0 || own.end < own.begin || parentSize < own.end)
    {
        GetTraceTextOut().Printf("Struct %s address range exceeds parent struct's one.\n", GetPathName().c_str());
        return false;
    }
    return true;
}

// ---- root and node ----

bool AVeyParentStruct::AddChild(std::unique_ptr<CVeyStruct> child)
{
    if (!child)
        return false;
    m_children.push_back(std::move(child));
    return true;
}

bool AVeyParentStruct::AttachChildren()
{
    for (auto& child : m_children)
        if (!child->Attach(this))
            return false;
    return true;
}

void AVeyParentStruct::CloneChildrenInto(AVeyParentStruct& target) const
{
    target.m_children.reserve(m_children.size());
    for (const auto& child : m_children)
        target.m_children.push_back(child->Clone());
}

bool AVeyParentStruct::WriteData(const CVeyAddressRange& range, const uint8_t* bytes,
                                 std::vector<CVeyValue*>& changedValues)
{
    CVeyAddressRange common;
    const CVeyAddressRange& own = GetAddressRange();
    if (!common.Intersect(range, own))
        return false;
    const CVeyAddressRange relative(common.begin - own.begin, common.end - own.begin);
    const uint8_t* slice = bytes + (common.begin - range.begin);
    bool written = false;
    for (auto& child : m_children)
        written = child->WriteData(relative, slice, changedValues) || written;
    return written;
}

bool AVeyParentStruct::FindValue(const std::string& path, CVeyValue*& value)
{
    std::string rest;
    if (!MatchPathPrefix(path, GetName(), rest))
        return false;
    for (auto& child : m_children)
        if (child->FindValue(rest, value))
            return true;
    return false;
}

bool AVeyParentStruct::FindStruct(const std::string& path, CVeyStruct*& found)
{
    std::string rest;
    if (!MatchPathPrefix(path, GetName(), rest))
        return false;
    if (rest.empty())
    {
        found = this;
        return true;
    }
    for (auto& child : m_children)
        if (child->FindStruct(rest, found))
            return true;
    return false;
}

bool AVeyParentStruct::Transmit()
{
    // Every child is sent; the result says whether all of them went out.
    bool all = true;
    for (auto& child : m_children)
        all = child->Transmit() && all;
    return all;
}

void AVeyParentStruct::DumpContents(GT::ATextOut& out) const
{
    out.Indent(4);
    DumpAddress(out);
    out.Printf("\n<!--child structs-->\n");
    for (const auto& child : m_children)
        child->DumpContents(out);
    out.Indent(-4);
}

void AVeyParentStruct::DumpAbsoluteNames(GT::ATextOut& out) const
{
    DumpPath(out);
    for (const auto& child : m_children)
    {
        const std::string& name = child->GetName();
        if (EndsWith(name, "]") && !EndsWith(name, "[0]"))
        {
            out.Indent(4);
            child->DumpPath(out);
            out.Indent(-4);
        }
        else
            child->DumpAbsoluteNames(out);
    }
}

// ---- root ----

bool CVeyRootStruct::Attach(CVeyStruct*)
{
    NoteTreeChanged();
    const CVeyAddressRange& own = GetAddressRange();
    // The wire form of an address has 28 bits; a root reaching past them could not be addressed.
    if (own.begin < 0 || own.end < own.begin || own.end > kVeyAddressLimit)
    {
        GetTraceTextOut().Printf("Struct %s address range exceeds 28 bits.\n", GetPathName().c_str());
        return false;
    }
    return AttachChildren();
}

void CVeyRootStruct::CopyRootFields(const CVeyRootStruct& source)
{
    NoteTreeChanged();
    m_definition = source.m_definition;
    m_midiOut = source.m_midiOut;
    m_modified = source.m_modified;
    source.CloneChildrenInto(*this);
}

std::unique_ptr<CVeyStruct> CVeyRootStruct::Clone() const
{
    auto clone = std::make_unique<CVeyRootStruct>();
    clone->CopyRootFields(*this);
    return clone;
}

bool CVeyRootStruct::ReceiveDt1(const std::vector<uint8_t>& addressBytes, const std::vector<uint8_t>& data)
{
    CVeyAddress address;
    address.SetFromBytes(addressBytes);
    const int64_t begin = address.Get();
    const int64_t end = begin + static_cast<int64_t>(data.size());
    if (data.empty() || begin < 0 || end > INT32_MAX)
        return false;
    std::vector<CVeyValue*> changed;
    if (!WriteData(CVeyAddressRange(static_cast<int32_t>(begin), static_cast<int32_t>(end)), data.data(), changed))
        return false;
    return CVeyBufferManager::GetInstance().OnValuesReceived(changed);
}

namespace
{
// The first leaf below `s` whose block plus `frame` exceeds one message, or null.
const CVeyStruct* FindOversizedLeaf(const CVeyStruct& s, size_t frame)
{
    if (const std::vector<uint8_t>* data = s.GetData())
        return data->size() + frame > kVeyMaxMessageSize ? &s : nullptr;
    if (const CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            if (const CVeyStruct* leaf = FindOversizedLeaf(*child, frame))
                return leaf;
    return nullptr;
}
}

bool CVeyRootStruct::SetMidiOut(IVeyTransmitter* midiOut)
{
    if (midiOut)
    {
        if (const CVeyStruct* leaf = FindOversizedLeaf(*this, midiOut->GetDt1FrameSize()))
        {
            GetTraceTextOut().Printf("Struct %s is too large for one data-set message.\n",
                                     leaf->GetPathName().c_str());
            return false;
        }
    }
    m_midiOut = midiOut;
    return true;
}

// ---- node ----

bool CVeyNodeStruct::Attach(CVeyStruct* parent)
{
    NoteTreeChanged();
    m_parent = parent;
    return AttachToParent(parent) && AttachChildren();
}

std::unique_ptr<CVeyStruct> CVeyNodeStruct::Clone() const
{
    auto clone = std::make_unique<CVeyNodeStruct>();
    clone->m_definition = m_definition;
    clone->m_parent = m_parent;
    CloneChildrenInto(*clone);
    return clone;
}

// ---- leaf ----

bool CVeyLeafStruct::Attach(CVeyStruct* parent)
{
    NoteTreeChanged();
    m_parent = parent;
    if (!AttachToParent(parent))
        return false;
    const size_t size = static_cast<size_t>(GetAddressRange().GetSize());
    // Values, the change list and views point into the data: once attached it never moves.
    if (m_attached && size != m_data.size())
        return false;
    if (m_bound && size == m_data.size())
    {
        m_attached = true;
        return true;
    }
    if (m_preparedDefaults && size != m_data.size())
    {
        // Prepared for another size: the leaf starts from zeros as any new one.
        m_data.assign(size, 0);
        m_preparedDefaults = false;
    }
    m_data.resize(size);
    m_attached = true;
    m_bound = false;
    // One pass over every value of the model: the bounds are held in locals, which the stores
    // into the values would otherwise make the compiler read again for each one.
    uint8_t* const data = m_data.data();
    for (CVeyValue *value = m_values.data(), *end = value + m_values.size(); value != end; ++value)
        if (!value->AttachToBytes(this, data, size))
            return false;
    m_bound = true;
    return true;
}

bool CVeyLeafStruct::PrepareDefaultBytes()
{
    const int32_t size = GetAddressRange().GetSize();
    if (m_attached || !m_data.empty() || size < 0)
        return false;
    for (const CVeyValue& value : m_values)
    {
        const CVeyValueDefinition* definition = value.GetDefinition();
        if (!definition || definition->range.begin < 0 || definition->range.end < definition->range.begin ||
            definition->range.end > size)
            return false;
    }
    m_data.assign(static_cast<size_t>(size), 0);
    for (CVeyValue& value : m_values)
    {
        value.AttachToBytes(this, m_data.data(), m_data.size());
        value.RevertToDefault();
    }
    m_bound = true;
    m_preparedDefaults = true;
    return true;
}

void CVeyLeafStruct::ReleaseUnattachedBytes()
{
    if (m_attached)
        return;
    std::vector<uint8_t>().swap(m_data);
    m_bound = false;
    m_preparedDefaults = false;
}

bool CVeyLeafStruct::TakePreparedDefaults()
{
    const bool prepared = m_preparedDefaults && m_attached;
    m_preparedDefaults = false;
    return prepared;
}

uint64_t CVeyLeafStruct::NewLayout()
{
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

CVeyValue* CVeyLeafStruct::AddValue(const CVeyValueDefinition* definition)
{
    // Values are pointed at from outside once the leaf is attached; the vector must not move.
    if (m_attached)
        return nullptr;
    m_layout = NewLayout();
    m_bound = false;
    m_preparedDefaults = false;
    m_values.emplace_back(definition);
    return &m_values.back();
}

bool CVeyLeafStruct::WriteData(const CVeyAddressRange& range, const uint8_t* bytes,
                               std::vector<CVeyValue*>& changedValues)
{
    CVeyAddressRange common;
    const CVeyAddressRange& own = GetAddressRange();
    if (!common.Intersect(range, own))
        return false;
    const CVeyAddressRange relative(common.begin - own.begin, common.end - own.begin);
    // The data is the range's size once attached; an unattached leaf takes nothing.
    if (static_cast<size_t>(relative.end) > m_data.size())
        return false;
    // Room for every value of the leaf, growing as push_back would, not one leaf at a time.
    const size_t needed = changedValues.size() + m_values.size();
    if (changedValues.capacity() < needed)
        changedValues.reserve(std::max(needed, 2 * changedValues.capacity()));
    for (CVeyValue& value : m_values)
        if (value.GetAddressRange().Overlaps(relative))
            changedValues.push_back(&value);
    std::copy(bytes + (common.begin - range.begin), bytes + (common.end - range.begin), m_data.begin() + relative.begin);
    return true;
}

bool CVeyLeafStruct::FindValue(const std::string& path, CVeyValue*& value)
{
    std::string rest;
    if (!MatchPathPrefix(path, GetName(), rest))
        return false;
    for (CVeyValue& candidate : m_values)
        if (candidate.GetName() == rest)
        {
            value = &candidate;
            return true;
        }
    return false;
}

bool CVeyLeafStruct::FindStruct(const std::string& path, CVeyStruct*& found)
{
    if (path != GetName())
        return false;
    found = this;
    return true;
}

bool CVeyLeafStruct::Transmit()
{
    int32_t begin = 0;
    CVeyRootStruct* root = GetRootStructAndBegin(begin);
    IVeyTransmitter* out = root ? root->GetMidiOut() : nullptr;
    if (!out)
        return false;
    if (m_data.size() + out->GetDt1FrameSize() > kVeyMaxMessageSize)
    {
        GetTraceTextOut().Printf("Struct %s is too large for one data-set message.\n", GetPathName().c_str());
        return false;
    }
    return out->SendDt1(begin, m_data.data(), m_data.size());
}

std::unique_ptr<CVeyStruct> CVeyLeafStruct::Clone() const
{
    auto clone = std::make_unique<CVeyLeafStruct>();
    clone->m_definition = m_definition;
    clone->m_parent = m_parent;
    clone->m_data = m_data;
    clone->m_layout = m_layout;
    if (m_bound)
    {
        // The values are copied pointing into the clone's bytes already: Attach need not visit
        // them again.
        clone->m_values.reserve(m_values.size());
        const uint8_t* const from = m_data.data();
        uint8_t* const to = clone->m_data.data();
        for (const CVeyValue& value : m_values)
            clone->m_values.emplace_back(value, clone.get(), from, to);
        clone->m_bound = true;
        // An attached leaf's bytes may hold anything by now.
        clone->m_preparedDefaults = m_preparedDefaults && !m_attached;
    }
    else
        clone->m_values = m_values;
    return clone;
}

void CVeyLeafStruct::DumpContents(GT::ATextOut& out) const
{
    out.Indent(4);
    DumpAddress(out);
    out.Printf("data=");
    for (uint8_t byte : m_data)
        out.Printf("%02X ", byte);
    out.Printf("\n<!--child values-->\n");
    for (const CVeyValue& value : m_values)
        value.DumpContents(out);
    out.Indent(-4);
}

void CVeyLeafStruct::DumpAbsoluteNames(GT::ATextOut& out) const
{
    DumpPath(out);
    for (const CVeyValue& value : m_values)
        value.DumpAbsoluteNames(out);
}

// ---- free operations ----

std::unique_ptr<CVeyStruct> CreateStruct(int kind)
{
    std::unique_ptr<CVeyStruct> created;
    switch (kind)
    {
    case CVeyStruct::kRoot: created = std::make_unique<CVeyRootStruct>(); break;
    case CVeyStruct::kNode: created = std::make_unique<CVeyNodeStruct>(); break;
    case CVeyStruct::kLeaf: created = std::make_unique<CVeyLeafStruct>(); break;
    case CVeyStruct::kMidi:
        if (g_midiStructCreator)
            created = g_midiStructCreator();
        break;
    default: break;
    }
    return created;
}

void VeySetMidiStructCreator(VeyStructCreator creator)
{
    g_midiStructCreator = creator;
}

namespace
{
// A new leaf's bytes are all zero, so its default bytes depend only on its values and its size; a
// leaf with the same values (an array's members are clones of its first) takes the bytes of the
// first one encoded. Leaves that give their layout are matched on it, others on their record and
// values.
struct CEncodedLeaves
{
    std::unordered_map<uint64_t, const CVeyStruct*> byLayout;
    std::unordered_map<const CVeyStructDefinition*, const CVeyStruct*> byDefinition;
};

void WriteNewDefaults(CVeyStruct& s, CEncodedLeaves& encoded)
{
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            WriteNewDefaults(*child, encoded);
    std::vector<CVeyValue>* values = s.GetValues();
    if (!values || s.TakePreparedDefaults())
        return;
    std::vector<uint8_t>* data = s.GetData();
    const uint64_t layout = s.GetValueLayout();
    const CVeyStruct*& first = layout != 0 ? encoded.byLayout[layout] : encoded.byDefinition[s.GetDefinition()];
    if (data && first && first->GetData()->size() == data->size() &&
        (layout != 0 || CVeyValue::SameDefinitions(*first->GetValues(), *values)))
    {
        std::copy(first->GetData()->begin(), first->GetData()->end(), data->begin());
        return;
    }
    for (CVeyValue& value : *values)
        value.RevertToDefault();
    if (data && !first)
        first = &s;
}
}

void RevertStructDefaults(CVeyStruct& s)
{
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            RevertStructDefaults(*child);
    if (std::vector<CVeyValue>* values = s.GetValues())
        for (CVeyValue& value : *values)
            value.RevertToDefault();
}

void WriteNewStructDefaults(CVeyStruct& s)
{
    CEncodedLeaves encoded;
    WriteNewDefaults(s, encoded);
}

bool WriteStructData(const CVeyStruct& s, std::ostream& stream)
{
    if (const std::vector<uint8_t>* data = s.GetData())
    {
        stream.write(reinterpret_cast<const char*>(data->data()), static_cast<std::streamsize>(data->size()));
        if (!stream)
            return false;
    }
    if (const CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            if (!WriteStructData(*child, stream))
                return false;
    return true;
}

size_t GetStructDataSize(const CVeyStruct& s)
{
    size_t size = 0;
    if (const std::vector<uint8_t>* data = s.GetData())
        size += data->size();
    if (const CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            size += GetStructDataSize(*child);
    return size;
}

void CVeyBufferOperation::Walk(CVeyStruct& s, IVisitor& visitor)
{
    visitor.Enter(s);
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            Walk(*child, visitor);
    visitor.Leave(s);
}
