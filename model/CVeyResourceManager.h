#pragma once
// Turns the script's resource definitions into named resources and owns them until teardown:
// one map per kind (bitmaps, text writers, string tables, number tables), each looked up by name.
#include "model/CVeyResources.h"
#include "model/CVeyTable.h"
#include "model/IVeyResourceFactory.h"

#include <memory>

class CVeyStateBitmap;
class CVeyTextWriter;

// Also the finder of number tables for the value declarations: it installs itself in the buffer
// manager while its resources exist.
class CVeyResourceManager : public IVeyNumberTableProvider
{
public:
    static CVeyResourceManager& GetInstance();
    // Makes Create and Clear the resource step of VeyCreateManagers and VeyDestroyManagers.
    static void RegisterManagerStep();

    CVeyResourceManager(const CVeyResourceManager&) = delete;
    CVeyResourceManager& operator=(const CVeyResourceManager&) = delete;
    ~CVeyResourceManager() override;

    // Builds every resource of the script's resource definitions: string tables, number tables,
    // bitmaps, then text writers, each kind in script order. Stops at the first failure with its
    // diagnostic line and false; what was built stays until Clear.
    bool Create();
    // Empties the definitions, deletes every resource and the factory.
    void Clear();

    // Takes the factory that makes bitmaps and text writers (and graph drawers for controls).
    void SetResourceFactory(std::unique_ptr<IVeyResourceFactory> factory);
    IVeyResourceFactory* GetResourceFactory() const { return m_factory.get(); }

    CVeyResources<CVeyStateBitmap>& GetBitmaps() { return m_bitmaps; }
    CVeyResources<CVeyTextWriter>& GetTextWriters() { return m_textWriters; }
    CVeyResources<CVeyStringTable>& GetStringTables() { return m_stringTables; }
    CVeyResources<CVeyIntegerTable>& GetIntegerTables() { return m_integerTables; }

    const IVeyNumberTable* FindNumberTable(const std::string& name) const override;

private:
    CVeyResourceManager();
    void RemoveNumberTableProvider();

    CVeyResources<CVeyStateBitmap> m_bitmaps;
    CVeyResources<CVeyTextWriter> m_textWriters;
    CVeyResources<CVeyStringTable> m_stringTables;
    CVeyResources<CVeyIntegerTable> m_integerTables;
    std::unique_ptr<IVeyResourceFactory> m_factory;
};
