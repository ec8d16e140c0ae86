// Struct creation from the script: struct types instantiated with macro substitution, children and
// values laid out one after another when no address is given, arrays expanded, every error
// reported in one diagnostic line.
#include "model/CVeyBufferManager.h"

#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace
{
// Types nest a few levels in a real script; the limit keeps a hostile one off the stack's end.
constexpr size_t kMaxStructNesting = 64;
// No real block comes near this; it keeps a bad "size" from allocating hundreds of megabytes.
constexpr int32_t kMaxLeafSize = 0x100000;
// Structs and values of all roots together. A whole instrument has a few thousand; a short script
// of nested arrays could otherwise ask for millions and take minutes and gigabytes to build.
constexpr uint64_t kMaxModelElements = 1u << 20;
// The bytes the leaves of all roots hold together. A whole instrument holds some tens of
// kilobytes; without the limit a short script of overlapping 1 MiB leaves asks for gigabytes.
constexpr uint64_t kMaxModelBytes = 16u << 20;

// The value of the last attribute called `name`, or null.
std::string* FindLastAttribute(CVeyElementDefinition::CAttributes& attributes, std::string_view name)
{
    for (auto it = attributes.rbegin(); it != attributes.rend(); ++it)
        if (it->first == name)
            return &it->second;
    return nullptr;
}

bool ParseAddressText(const std::string& text, int32_t& value)
{
    GT::CBytes bytes;
    return GT::HexStringToBytes(text, bytes) && CVeyAddress::ParseBytes(bytes, value);
}
}

// The struct types by name: every struct of the script looks its type up, so the lookup must not
// grow with the number of types.
class CStructTypeIndex
{
public:
    explicit CStructTypeIndex(const CVeyTypeDefinitions& types)
    {
        m_byName.reserve(types.size());
        for (const CVeyTypeDefinition& type : types)
            m_byName.emplace(type.GetTypeName(), &type);   // the first of a name wins
    }
    // The first type definition of that name, or null.
    const CVeyTypeDefinition* Find(const std::string& name) const
    {
        const auto found = m_byName.find(name);
        return found == m_byName.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<std::string, const CVeyTypeDefinition*> m_byName;
};

// The chain of struct types being converted, innermost last, and the types to convert from.
struct CVeyBufferManager::CConversion
{
    explicit CConversion(const CVeyTypeDefinitions& types) : index(types) {}
    const CVeyTypeDefinition* FindType(const std::string& name) const { return index.Find(name); }

    std::vector<const CVeyTypeDefinition*> chain;
    CStructTypeIndex index;
    // Bytes given to leaves before they are attached, held under the model's limit: a script of
    // huge arrays must be refused before its bytes exist.
    uint64_t preparedBytes = 0;
};

namespace
{
// The bytes the leaves below `s` (itself included) hold before they are attached.
uint64_t CountPreparedBytes(const CVeyStruct& s)
{
    uint64_t bytes = 0;
    if (const std::vector<uint8_t>* data = s.GetData())
        bytes += data->size();
    if (const CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            bytes += CountPreparedBytes(*child);
    return bytes;
}

void ReleasePreparedBytes(CVeyStruct& s)
{
    if (auto* leaf = dynamic_cast<CVeyLeafStruct*>(&s))
        leaf->ReleaseUnattachedBytes();
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            ReleasePreparedBytes(*child);
}

// A new leaf gets its default bytes now, while the limit allows: the members of an array are
// cloned from it with them.
void PrepareLeafBytes(CVeyStruct& s, uint64_t& preparedBytes)
{
    auto* leaf = dynamic_cast<CVeyLeafStruct*>(&s);
    const uint64_t size = static_cast<uint64_t>(std::max<int32_t>(s.GetAddressRange().GetSize(), 0));
    if (leaf && preparedBytes + size <= kMaxModelBytes && leaf->PrepareDefaultBytes())
        preparedBytes += size;
}
}

void SplitArrayAddresses(const CVeyElementDefinition& type, CVeyElementDefinition& instance,
                         std::vector<std::string>& extraAddresses)
{
    std::string key = "address";
    if (const std::string* typeAddress = type.FindLast("address"))
        if (!typeAddress->empty() && (*typeAddress)[0] == '$')
            key = typeAddress->substr(1);
    bool first = true;
    auto& attributes = instance.GetAttributes();
    for (auto it = attributes.begin(); it != attributes.end();)
    {
        if (it->first != key)
            ++it;
        else if (first)
        {
            first = false;
            ++it;
        }
        else
        {
            extraAddresses.push_back(it->second);
            it = attributes.erase(it);
        }
    }
}

// How many structs and values the root definitions make, arrays expanded, counted from the
// definitions alone so that an oversized model is refused before anything is allocated. A type's
// count is worked out once. Missing types count as nothing; a type that contains itself or nests
// too deeply makes the whole count 0: creation fails on it and reports it. The result stops just
// past kMaxModelElements.
static uint64_t CountModelElements(const CStructTypeIndex& types, const CVeyElementDefinitions& roots)
{
    constexpr uint64_t tooMany = kMaxModelElements + 1;
    const auto multiply = [](uint64_t a, uint64_t b) { return b != 0 && a > tooMany / b ? tooMany : a * b; };
    // How many array members an instance stands for: one per address, under the type's own key.
    const auto members = [](const CVeyElementDefinition* type, const CVeyElementDefinition& instance) {
        std::string key = "address";
        if (const std::string* typeAddress = type ? type->FindLast("address") : nullptr)
            if (!typeAddress->empty() && (*typeAddress)[0] == '$')
                key = typeAddress->substr(1);
        uint64_t count = 0;
        for (const auto& attribute : instance.GetAttributes())
            count += attribute.first == key;
        return std::max<uint64_t>(count, 1);
    };
    std::unordered_map<const CVeyTypeDefinition*, uint64_t> perType;
    std::vector<const CVeyTypeDefinition*> chain;
    // Once set, nothing more is counted: without it a loop of branching types would be walked
    // along every one of its paths.
    bool broken = false;
    // One instance of `type`: itself, its values and its child structs.
    std::function<uint64_t(const CVeyTypeDefinition&)> countType = [&](const CVeyTypeDefinition& type) -> uint64_t {
        if (const auto known = perType.find(&type); known != perType.end())
            return known->second;
        if (broken || chain.size() >= kMaxStructNesting || std::find(chain.begin(), chain.end(), &type) != chain.end())
        {
            broken = true;
            return 0;
        }
        chain.push_back(&type);
        uint64_t count = 1;
        for (const CVeyElementDefinition& value : type.GetLeafChildren())
            count += members(nullptr, value);
        for (const CVeyElementDefinition& child : type.GetStructuralChildren())
        {
            if (const CVeyTypeDefinition* childType = types.Find(child.GetTypeName()))
                count += multiply(members(childType, child), countType(*childType));
            count = std::min(count, tooMany);
        }
        chain.pop_back();
        perType.emplace(&type, count);
        return count;
    };
    uint64_t total = 0;
    for (const CVeyElementDefinition& root : roots)
        if (const CVeyTypeDefinition* type = types.Find(root.GetTypeName()))
            total = std::min(total + multiply(members(type, root), countType(*type)), tooMany);
    return broken ? 0 : total;
}

// The bytes the leaves below `s` (itself included) will hold once attached.
static uint64_t CountLeafBytes(const CVeyStruct& s)
{
    if (s.GetKind() == CVeyStruct::kLeaf)
        return static_cast<uint64_t>(std::max<int32_t>(s.GetAddressRange().GetSize(), 0));
    uint64_t bytes = 0;
    if (const CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            bytes += CountLeafBytes(*child);
    return bytes;
}

void ReportUnknownAttributes(const CVeyElementDefinition::CAttributes& attributes, const char* kindWord,
                             const std::string& name)
{
    GT::CTraceTextOut& out = GetTraceTextOut();
    out.Printf("%s contains unknown tags. : %s : ", kindWord, name.c_str());
    for (const auto& attribute : attributes)
        out.Printf("%s, ", attribute.first.c_str());
    out.Printf("\n");
}

bool CVeyStruct::LoadAttributes(CVeyElementDefinition::CAttributes& attributes, int32_t defaultAddress,
                                int32_t defaultSize)
{
    CVeyStructDefinition definition;
    definition.name = GetName();
    int32_t address = defaultAddress;
    int32_t size = defaultSize;
    for (auto it = attributes.begin(); it != attributes.end();)
    {
        const std::string_view key = it->first;
        if (key == "name")
            definition.name = it->second;
        else if (key == "address")
        {
            if (!ParseAddressText(it->second, address))
            {
                GetTraceTextOut().Printf("Struct address is invalid. : %s : %s\n", definition.name.c_str(),
                                         it->second.c_str());
                return false;
            }
        }
        else if (key == "size")
        {
            if (!ParseAddressText(it->second, size))
            {
                GetTraceTextOut().Printf("Struct size is invalid. : %s : %s\n", definition.name.c_str(),
                                         it->second.c_str());
                return false;
            }
        }
        else
        {
            ++it;
            continue;
        }
        it = attributes.erase(it);
    }
    if (GetKind() == kLeaf && size > kMaxLeafSize)
    {
        GetTraceTextOut().Printf("Struct size is invalid. : %s : %08X\n", definition.name.c_str(),
                                 static_cast<unsigned>(size));
        return false;
    }
    // A default address is the end of the previous sibling: a chain of large siblings could run
    // past the 28-bit address space (and 32 bits), where no struct can ever be attached.
    if (static_cast<int64_t>(address) + size > kVeyAddressLimit)
    {
        GetTraceTextOut().Printf("Struct address is invalid. : %s : %08X\n", definition.name.c_str(),
                                 static_cast<unsigned>(address));
        return false;
    }
    definition.range = CVeyAddressRange(address, address + size);
    NoteTreeChanged();
    m_definition = CVeyBufferManager::GetInstance().InternStructDefinition(definition);
    return true;
}

bool CVeyBufferManager::ConvertStruct(int kind, const CVeyElementDefinition& element, CVeyStructList& output,
                                      int32_t defaultAddress)
{
    CConversion conversion(CVeyScriptDefinitions::GetInstance().GetBufferGroup().structTypes);
    return ConvertStruct(kind, element, output, defaultAddress, conversion);
}

bool CVeyBufferManager::ConvertStruct(int kind, const CVeyElementDefinition& element, CVeyStructList& output,
                                      int32_t defaultAddress, CConversion& conversion)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    const CVeyTypeDefinition* found = conversion.FindType(element.GetTypeName());
    if (!found)
    {
        trace.Printf("Unable to find struct type definition. : %s\n", element.GetTypeName().c_str());
        return false;
    }
    // A type that contains itself, directly or through others, would never finish.
    if (std::find(conversion.chain.begin(), conversion.chain.end(), found) != conversion.chain.end())
    {
        trace.Printf("Struct type contains itself. : %s\n", found->GetTypeName().c_str());
        return false;
    }
    if (conversion.chain.size() >= kMaxStructNesting)
    {
        trace.Printf("Struct type is nested too deeply. : %s\n", found->GetTypeName().c_str());
        return false;
    }
    std::unique_ptr<CVeyStruct> s = CreateStruct(kind);
    if (!s)
        return false;
    // Only the type's own attributes take this instance's macros; its children are read as they
    // are, so they are not copied with them.
    const CVeyTypeDefinition& type = *found;
    CVeyElementDefinition::CAttributes typeAttributes = type.GetAttributes();
    CVeyElementDefinition instance = element;
    std::vector<std::string> extraAddresses;
    SplitArrayAddresses(type, instance, extraAddresses);
    if (!VeyResolveMacros(instance.GetAttributes(), typeAttributes))
    {
        trace.Printf("Unable to resolve macros. : %s\n", element.GetTypeName().c_str());
        return false;
    }
    std::string baseName;
    if (std::string* name = FindLastAttribute(typeAttributes, "name"))
    {
        baseName = *name;
        if (!extraAddresses.empty())
            *name += "[0]";
    }

    conversion.chain.push_back(found);
    const bool converted = ConvertChildStructs(*s, type, instance, conversion);
    conversion.chain.pop_back();
    if (!converted || !ConvertChildValues(*s, type, instance))
        return false;

    const int32_t defaultSize = s->GetChildrenEnd();
    const CVeyElementDefinition::CAttributes memberAttributes = std::move(typeAttributes);
    CVeyElementDefinition::CAttributes attributes = memberAttributes;
    if (!s->LoadAttributes(attributes, defaultAddress, defaultSize))
    {
        trace.Printf("Unable convert struct from element definitions. : %s\n", type.GetTypeName().c_str());
        return false;
    }
    if (!attributes.empty())
    {
        ReportUnknownAttributes(attributes, "Struct type", type.GetTypeName());
        return false;
    }
    if (kind == CVeyStruct::kLeaf)
        PrepareLeafBytes(*s, conversion.preparedBytes);
    CVeyStruct& first = *s;
    output.push_back(std::move(s));

    uint64_t memberBytes = extraAddresses.empty() ? 0 : CountPreparedBytes(first);
    for (size_t i = 0; i < extraAddresses.size(); ++i)
    {
        if (memberBytes != 0 && conversion.preparedBytes + memberBytes > kMaxModelBytes)
        {
            // At the limit the first member gives its bytes back, so that the clones made from it
            // neither count nor copy any: Attach makes them all.
            ReleasePreparedBytes(first);
            memberBytes = 0;
        }
        std::unique_ptr<CVeyStruct> member = first.Clone();
        conversion.preparedBytes += memberBytes;
        CVeyElementDefinition::CAttributes own = memberAttributes;
        const std::string name = MakeArrayElementName(baseName, static_cast<int>(i + 1));
        if (std::string* nameValue = FindLastAttribute(own, "name"))
            *nameValue = name;
        else
            own.emplace_back("name", name);
        if (std::string* address = FindLastAttribute(own, "address"))
            *address = extraAddresses[i];
        else
            own.emplace_back("address", extraAddresses[i]);
        if (!member->LoadAttributes(own, defaultAddress, defaultSize))
        {
            trace.Printf("Unable convert struct from element definitions. : %s\n", type.GetTypeName().c_str());
            return false;
        }
        output.push_back(std::move(member));
    }
    return true;
}

bool CVeyBufferManager::ConvertChildStructs(CVeyStruct& s, const CVeyTypeDefinition& type,
                                            const CVeyElementDefinition& element, CConversion& conversion)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    CVeyStructList* children = s.GetChildStructs();
    for (const CVeyElementDefinition& childDefinition : type.GetStructuralChildren())
    {
        CVeyElementDefinition child = childDefinition;
        if (!VeyResolveMacros(element.GetAttributes(), child.GetAttributes()))
        {
            trace.Printf("Unable to resolve macros. : %s\n", element.GetTypeName().c_str());
            return false;
        }
        if (!children)
        {
            trace.Printf("Struct type can not have both structs and values. : %s\n", type.GetTypeName().c_str());
            return false;
        }
        const CVeyTypeDefinition* childType = conversion.FindType(child.GetTypeName());
        const int kind = childType && !childType->GetLeafChildren().empty() ? CVeyStruct::kLeaf : CVeyStruct::kNode;
        const int32_t defaultAddress = children->empty() ? 0 : children->back()->GetAddressRange().end;
        CVeyStructList converted;
        if (!ConvertStruct(kind, child, converted, defaultAddress, conversion))
        {
            trace.Printf("Unable to convert child struct definition : %s\n", child.GetTypeName().c_str());
            return false;
        }
        for (auto& member : converted)
            s.AddChild(std::move(member));
    }
    return true;
}

bool CVeyBufferManager::ConvertChildValues(CVeyStruct& s, const CVeyTypeDefinition& type,
                                           const CVeyElementDefinition& element)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    // One value per element at least: the list is not grown again and again.
    if (std::vector<CVeyValue>* values = s.GetValues())
        values->reserve(values->size() + type.GetLeafChildren().size());
    for (const CVeyElementDefinition& valueDefinition : type.GetLeafChildren())
    {
        CVeyElementDefinition value = valueDefinition;
        if (!VeyResolveMacros(element.GetAttributes(), value.GetAttributes()))
        {
            trace.Printf("Unable to resolve macros. : %s\n", element.GetTypeName().c_str());
            return false;
        }
        std::vector<std::string> extraAddresses;
        static const CVeyElementDefinition kNoType;
        SplitArrayAddresses(kNoType, value, extraAddresses);
        std::string baseName;
        if (std::string* name = FindLastAttribute(value.GetAttributes(), "name"))
        {
            baseName = *name;
            if (!extraAddresses.empty())
                *name += "[0]";
        }
        const std::vector<CVeyValue>* values = s.GetValues();
        if (!values)
        {
            trace.Printf("Root struct or node struct can not have child values. : %s\n", type.GetTypeName().c_str());
            return false;
        }
        const int32_t defaultAddress = values->empty() ? 0 : values->back().GetAddressRange().end;
        CVeyValue* added = s.AddValue(nullptr);
        CVeyElementDefinition::CAttributes& attributes = value.GetAttributes();
        if (!added->LoadDefinition(value.GetTypeName(), attributes, defaultAddress))
        {
            trace.Printf("Unable convert child values from element definitions. : %s\n", value.GetTypeName().c_str());
            return false;
        }
        if (!attributes.empty())
        {
            ReportUnknownAttributes(attributes, "Value", value.GetTypeName());
            return false;
        }
        // The pooled record stays where it is while values are added.
        const CVeyValueDefinition& first = *added->GetDefinition();
        for (size_t i = 0; i < extraAddresses.size(); ++i)
        {
            CVeyValueDefinition member = first;
            member.name = MakeArrayElementName(baseName, static_cast<int>(i + 1));
            int32_t begin = 0;
            if (!ParseAddressText(extraAddresses[i], begin))
            {
                trace.Printf("Value address is invalid. : %s : %s\n", member.name.c_str(), extraAddresses[i].c_str());
                trace.Printf("Unable convert child values from element definitions. : %s\n", value.GetTypeName().c_str());
                return false;
            }
            member.range = CVeyAddressRange(begin, begin + first.range.GetSize());
            s.AddValue(InternValueDefinition(member));
        }
    }
    return true;
}

bool CVeyBufferManager::CreateMidiStruct(const CVeyElementDefinition& definition)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    std::unique_ptr<CVeyStruct> midiStruct = CreateStruct(CVeyStruct::kMidi);
    if (!midiStruct)
    {
        trace.Printf("Unable to convert MIDI struct definition %s to MIDI struct.\n", definition.GetTypeName().c_str());
        return false;
    }
    CVeyStruct& created = *midiStruct;
    AddMidiStruct(std::move(midiStruct));
    CVeyElementDefinition::CAttributes attributes = definition.GetAttributes();
    if (!created.LoadAttributes(attributes, 0, 0))
    {
        trace.Printf("Unable to convert MIDI struct definition %s to MIDI struct.\n", definition.GetTypeName().c_str());
        return false;
    }
    if (!created.Attach(nullptr))
    {
        trace.Printf("Unable to create MIDI struct %s.\n", created.GetName().c_str());
        return false;
    }
    if (!attributes.empty())
    {
        ReportUnknownAttributes(attributes, "MIDI", created.GetName());
        return false;
    }
    return true;
}

bool CVeyBufferManager::CreateStructs()
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    CVeyScriptDefinitions::CBufferGroup& definitions = CVeyScriptDefinitions::GetInstance().GetBufferGroup();
    CConversion conversion(definitions.structTypes);
    if (CountModelElements(conversion.index, definitions.rootStructs) > kMaxModelElements)
    {
        trace.Printf("Root structs are too large: more than %llu structs and values.\n",
                     static_cast<unsigned long long>(kMaxModelElements));
        return false;
    }
    // The leaves' bytes are only allocated when a root is attached: they are counted first.
    uint64_t bytes = 0;
    for (const CVeyElementDefinition& definition : definitions.rootStructs)
    {
        CVeyStructList converted;
        if (!ConvertStruct(CVeyStruct::kRoot, definition, converted, 0, conversion))
        {
            trace.Printf("Unable to convert root struct definition %s to root struct.\n",
                         definition.GetTypeName().c_str());
            return false;
        }
        for (const auto& root : converted)
            bytes += CountLeafBytes(*root);
        if (bytes > kMaxModelBytes)
        {
            trace.Printf("Root structs are too large: more than %llu bytes of data.\n",
                         static_cast<unsigned long long>(kMaxModelBytes));
            return false;
        }
        for (auto& root : converted)
        {
            CVeyStruct& added = *root;
            AddRootStruct(std::move(root));
            if (!added.Attach(nullptr))
            {
                trace.Printf("Unable to create root struct %s.\n", added.GetName().c_str());
                return false;
            }
            WriteNewStructDefaults(added);
        }
    }
    for (const CVeyElementDefinition& definition : definitions.midiStructs)
        if (!CreateMidiStruct(definition))
            return false;
    definitions.Clear();
    return true;
}

void CVeyBufferManager::RegisterManagerStep()
{
    VeySetManagerStep(
        EVeyManager::kBuffer, [] { return GetInstance().CreateStructs(); }, [] { GetInstance().Clear(); });
}
