#pragma once
// The owner of the parameter model: root and MIDI structs, the pools of shared definition
// records, the handler list, the change list and the MIDI message value links. Every change of a
// value goes through it: handlers first, then the bytes, the change list and the modified flag.
// A change is committed by Flush (send), UpdateViews (redraw) and ClearChanges, in that order.
#include "model/CVeyBufferHandlers.h"
#include "model/CVeyElementDefinition.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "model/IVeyModelLinks.h"

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

class CVeyBufferManager
{
public:
    static CVeyBufferManager& GetInstance();

    CVeyBufferManager();
    ~CVeyBufferManager();
    CVeyBufferManager(const CVeyBufferManager&) = delete;
    CVeyBufferManager& operator=(const CVeyBufferManager&) = delete;

    // Lookup: each root struct in creation order, then each MIDI struct; the first hit wins. The
    // out parameter is left untouched when nothing answers.
    bool FindValue(const std::string& path, CVeyValue*& value) const;
    bool FindStruct(const std::string& path, CVeyStruct*& found) const;
    CVeyStruct* FindStructOrNull(const std::string& path) const;
    CVeyValue* FindValueOrNull(const std::string& path) const;

    // Changes: the handlers may take the whole list over; otherwise every value stores its new
    // contents (numbers are not clamped), all are marked changed and the handlers are told.
    void SetValues(const CVeyValueNumbers& changes);
    void SetTexts(const CVeyValueTexts& changes);
    void SetArrays(const CVeyValueArrays& changes);
    void SetValue(CVeyValue* value, int32_t number);
    void SetText(CVeyValue* value, const std::string& text);
    void SetArray(CVeyValue* value, const std::vector<int32_t>& numbers);
    void SetValueByIndex(CVeyValue* value, int32_t index);
    // Replaces a leaf's whole block value by value; false (nothing changed) when the struct has
    // no data or the size differs.
    bool SetStructData(CVeyStruct* leaf, const std::vector<uint8_t>& bytes);
    // The application layer's name for SetStructData (pasting a copied block).
    bool CopyStructValues(CVeyStruct* leaf, const std::vector<uint8_t>& bytes) { return SetStructData(leaf, bytes); }
    void RevertStructToDefault(CVeyStruct* s);

    // Appends to the change list (duplicates kept) and sets the root's modified flag.
    void MarkChanged(CVeyValue* value);
    void MarkChangedAll(const CVeyValueList& values);
    // Received data: marks the values changed and tells the handlers. True.
    bool OnValuesReceived(const CVeyValueList& values);
    // The data file body: leaf blocks in pre-order. Checks first, where the stream can tell, that
    // the whole body is there, so a short file changes nothing.
    bool ReadStructData(CVeyStruct* s, std::istream& stream);

    // Every listed value transmits itself, in list order; then the MIDI message value links are
    // refreshed. The list is kept. True.
    bool Flush();
    // Hands the change list to the view updater; true when some view changed.
    bool UpdateViews();
    void ClearChanges();
    // Direct access for callers that set the list aside during a transfer and put it back.
    CVeyValueList& GetChangeList() { return m_changes; }
    const CVeyValueList& GetChangeList() const { return m_changes; }

    // Building from the script's definitions (CVeyScriptDefinitions' buffer group, emptied once
    // the structs exist). Stops at the first error with its diagnostic line; structs made before
    // it stay until Clear.
    bool CreateStructs();
    // One struct element into one struct, or several for an array, appended to `output`.
    bool ConvertStruct(int kind, const CVeyElementDefinition& element, CVeyStructList& output, int32_t defaultAddress);
    // Empties the definitions, the pools, the structs, the change list, the handlers and the links.
    void Clear();
    // Registers CreateStructs and Clear as the buffer manager's step of VeyCreateManagers and
    // VeyDestroyManagers; the application calls it once before creating the managers.
    static void RegisterManagerStep();
    void AddRootStruct(std::unique_ptr<CVeyStruct> root);
    void AddMidiStruct(std::unique_ptr<CVeyStruct> midiStruct);
    const CVeyStructList& GetRootStructs() const { return m_roots; }
    const CVeyStructList& GetMidiStructs() const { return m_midiStructs; }

    // The handlers the application appends after the model exists; the list owns them.
    CVeyBufferHandlers& GetHandlers() { return m_handlers; }

    // The pooled record equal to `definition` (added when new); valid until Clear.
    const CVeyStructDefinition* InternStructDefinition(const CVeyStructDefinition& definition);
    const CVeyValueDefinition* InternValueDefinition(const CVeyValueDefinition& definition);
    size_t GetStructDefinitionCount() const { return m_structDefinitions.size(); }
    size_t GetValueDefinitionCount() const { return m_valueDefinitions.size(); }

    // Seams to the layers above (not owned; null removes them).
    void SetViewUpdater(IVeyViewUpdater* updater) { m_viewUpdater = updater; }
    IVeyViewUpdater* GetViewUpdater() const { return m_viewUpdater; }
    void SetNumberTableProvider(const IVeyNumberTableProvider* provider) { m_numberTables = provider; }
    const IVeyNumberTableProvider* GetNumberTableProvider() const { return m_numberTables; }
    // The MIDI layer's links that show the last sent message in a text value; owned from here on.
    void AddMidiMessageValueLink(std::unique_ptr<IVeyMidiMessageValueLink> link);
    const std::vector<std::unique_ptr<IVeyMidiMessageValueLink>>& GetMidiMessageValueLinks() const { return m_links; }

private:
    struct CConversion;
    bool ConvertStruct(int kind, const CVeyElementDefinition& element, CVeyStructList& output, int32_t defaultAddress,
                       CConversion& conversion);
    bool ConvertChildStructs(CVeyStruct& s, const CVeyTypeDefinition& type, const CVeyElementDefinition& element,
                             CConversion& conversion);
    bool ConvertChildValues(CVeyStruct& s, const CVeyTypeDefinition& type, const CVeyElementDefinition& element);
    bool CreateMidiStruct(const CVeyElementDefinition& definition);
    void ApplyNumbers(const CVeyValueNumbers& changes);
    void ApplyTexts(const CVeyValueTexts& changes);
    void MarkAndNotify(const CVeyValueList& values);
    void ClearModel();
    void SetValues(const CVeyValueNumbers& changes, CVeyValueList& values);

    // Hashed: every root of a large script adds one, and they must not cost more each.
    std::unordered_set<CVeyStructDefinition, CVeyStructDefinition::CHash> m_structDefinitions;
    std::unordered_set<CVeyValueDefinition, CVeyValueDefinition::CHash> m_valueDefinitions;
    CVeyStructList m_roots;
    CVeyStructList m_midiStructs;
    CVeyValueList m_changes;
    CVeyBufferHandlers m_handlers;
    // SetValue's lists, kept between calls (a knob sends one value per step); a SetValue made by
    // a handler while they are in use gets lists of its own.
    CVeyValueNumbers m_oneNumber;
    CVeyValueList m_oneValue;
    bool m_settingOne = false;
    std::vector<std::unique_ptr<IVeyMidiMessageValueLink>> m_links;
    IVeyViewUpdater* m_viewUpdater = nullptr;
    const IVeyNumberTableProvider* m_numberTables = nullptr;
};

// Array members of a struct element: every attribute of `instance` named by the array key after the
// first one is taken out and kept, in order. The key is "address", or the macro name when the
// type's own "address" attribute is "$name".
void SplitArrayAddresses(const CVeyElementDefinition& type, CVeyElementDefinition& instance,
                         std::vector<std::string>& extraAddresses);
// "%s contains unknown tags. : %s : " with the kind word and the name, "%s, " per left-over
// attribute name, then a newline.
void ReportUnknownAttributes(const CVeyElementDefinition::CAttributes& attributes, const char* kindWord,
                             const std::string& name);
