#include "model/CVeyResourceManager.h"

#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/TraceTextOut.h"

#include <functional>

namespace
{
// The diagnostic lines of one kind of resource.
struct CKindMessages
{
    const char* conversionFailed;   // "%s": the definition's type name
    const char* kind;               // the kind word of the unknown-tags line
    const char* duplicated;         // "%s": the resource's name
};

const CKindMessages kBitmapMessages = {
    "Unable to convert bitmap definition %s to bitmap.\n",
    "Bitmap",
    "Bitmap %s is duplicated.\n",
};
const CKindMessages kTextWriterMessages = {
    "Unable to convert element definitions %s to text writer.\n",
    "Text Writer",
    "Text writer %s is duplicated.\n",
};
const CKindMessages kStringTableMessages = {
    "Unable to convert element definitions %s to string table.\n",
    "String Table",
    "String table %s is duplicated.\n",
};
const CKindMessages kIntegerTableMessages = {
    "Unable to convert element definitions %s to integer table.\n",
    "Integer Table",
    "String table %s is duplicated.\n",
};

using FMakeResource = std::function<std::unique_ptr<CVeyResource>()>;

template <class T>
bool CreateKind(const CVeyElementDefinitions& definitions, const FMakeResource& make,
                const CKindMessages& messages, CVeyResources<T>& resources)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    for (const CVeyElementDefinition& definition : definitions)
    {
        std::unique_ptr<CVeyResource> resource = make();
        CVeyElementDefinition::CAttributes attributes = definition.GetAttributes();
        if (!resource || !resource->Load(attributes))
        {
            trace.Printf(messages.conversionFailed, definition.GetTypeName().c_str());
            return false;
        }
        if (!attributes.empty())
        {
            CVeyAttributeReader::ReportUnknownTags(messages.kind, resource->GetName(), attributes);
            return false;
        }
        const std::string name = resource->GetName();
        if (!resources.Insert(name, std::move(resource)))
        {
            trace.Printf(messages.duplicated, name.c_str());
            return false;
        }
    }
    return true;
}
}

CVeyResourceManager& CVeyResourceManager::GetInstance()
{
    static CVeyResourceManager instance;
    return instance;
}

CVeyResourceManager::CVeyResourceManager()
{
    // Made first, the buffer manager outlives this one, which can then withdraw from it at exit.
    CVeyBufferManager::GetInstance();
}

void CVeyResourceManager::RegisterManagerStep()
{
    VeySetManagerStep(
        EVeyManager::kResource, [] { return GetInstance().Create(); }, [] { GetInstance().Clear(); });
}

CVeyResourceManager::~CVeyResourceManager()
{
    RemoveNumberTableProvider();
}

void CVeyResourceManager::RemoveNumberTableProvider()
{
    CVeyBufferManager& bufferManager = CVeyBufferManager::GetInstance();
    if (bufferManager.GetNumberTableProvider() == this)
        bufferManager.SetNumberTableProvider(nullptr);
}

const IVeyNumberTable* CVeyResourceManager::FindNumberTable(const std::string& name) const
{
    return m_integerTables.Find(name);
}

bool CVeyResourceManager::Create()
{
    CVeyScriptDefinitions::CResourceGroup& definitions = CVeyScriptDefinitions::GetInstance().GetResourceGroup();
    IVeyResourceFactory* factory = m_factory.get();

    // Tables first: they need nothing, and a bitmap may name a number table for its offsets.
    if (!CreateKind(definitions.stringTables, [] { return std::make_unique<CVeyStringTable>(); },
                    kStringTableMessages, m_stringTables))
        return false;
    if (!CreateKind(definitions.numberTables, [] { return std::make_unique<CVeyIntegerTable>(); },
                    kIntegerTableMessages, m_integerTables))
        return false;
    // Without a factory no bitmap or text writer can be made; their definitions then fail to convert.
    if (!CreateKind(definitions.bitmaps,
                    [factory] { return factory ? factory->CreateBitmap() : std::unique_ptr<CVeyResource>(); },
                    kBitmapMessages, m_bitmaps))
        return false;
    if (!CreateKind(definitions.textWriters,
                    [factory] { return factory ? factory->CreateTextWriter() : std::unique_ptr<CVeyResource>(); },
                    kTextWriterMessages, m_textWriters))
        return false;

    definitions.Clear();
    // The buffer manager, created next, resolves the values' "numberTableRef" through us.
    CVeyBufferManager::GetInstance().SetNumberTableProvider(this);
    return true;
}

void CVeyResourceManager::Clear()
{
    RemoveNumberTableProvider();
    CVeyScriptDefinitions::GetInstance().GetResourceGroup().Clear();
    m_bitmaps.DeleteAll();
    m_textWriters.DeleteAll();
    m_stringTables.DeleteAll();
    m_integerTables.DeleteAll();
    m_factory.reset();
}

void CVeyResourceManager::SetResourceFactory(std::unique_ptr<IVeyResourceFactory> factory)
{
    m_factory = std::move(factory);
}
