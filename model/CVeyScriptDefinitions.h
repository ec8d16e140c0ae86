#pragma once
// Every definition read from the script, grouped by the manager that turns it into objects.
// The reader only appends; each manager reads its own group and clears it at teardown. The model
// owns the store so that managers above the model (MIDI ports, panels) can reach their
// definitions without the reader knowing them.
#include "model/CVeyElementDefinition.h"

class CVeyScriptDefinitions
{
public:
    // Struct types, root structs ("struct") and MIDI structs ("midiStruct").
    struct CBufferGroup
    {
        CVeyTypeDefinitions structTypes;
        CVeyElementDefinitions rootStructs;
        CVeyElementDefinitions midiStructs;
        void Clear();
        bool IsEmpty() const;
    };

    // "midiIn" and "midiOut".
    struct CMidiGroup
    {
        CVeyElementDefinitions inputs;
        CVeyElementDefinitions outputs;
        void Clear();
        bool IsEmpty() const;
    };

    // "panelType" and root panels ("panel").
    struct CViewGroup
    {
        CVeyTypeDefinitions panelTypes;
        CVeyElementDefinitions rootPanels;
        void Clear();
        bool IsEmpty() const;
    };

    // "bitmap", "textWriter", "stringTable" and "numberTable".
    struct CResourceGroup
    {
        CVeyElementDefinitions bitmaps;
        CVeyElementDefinitions textWriters;
        CVeyElementDefinitions stringTables;
        CVeyElementDefinitions numberTables;
        void Clear();
        bool IsEmpty() const;
    };

    static CVeyScriptDefinitions& GetInstance();

    CBufferGroup& GetBufferGroup() { return m_buffer; }
    CMidiGroup& GetMidiGroup() { return m_midi; }
    CViewGroup& GetViewGroup() { return m_view; }
    CResourceGroup& GetResourceGroup() { return m_resource; }

    void Clear();
    bool IsEmpty() const;

private:
    CBufferGroup m_buffer;
    CMidiGroup m_midi;
    CViewGroup m_view;
    CResourceGroup m_resource;
};
