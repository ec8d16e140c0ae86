#pragma once
// The struct tree: root structs per memory area, node structs that group structs, and leaf structs
// that own one block of bytes and the values mapped onto it.
#include "model/CVeyBuffer.h"
#include "model/CVeyValue.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class IVeyTransmitter;

// Shared, pooled by the buffer manager: one record per distinct (name, begin, end).
struct CVeyStructDefinition
{
    std::string name;
    CVeyAddressRange range;

    bool operator<(const CVeyStructDefinition& other) const;
    bool operator==(const CVeyStructDefinition& other) const;
    // For the pool: a hash of all three.
    struct CHash
    {
        size_t operator()(const CVeyStructDefinition& definition) const;
    };
};

using CVeyStructList = std::vector<std::unique_ptr<CVeyStruct>>;

class CVeyStruct : public CVeyBuffer
{
public:
    enum Kind { kRoot = 0, kNode = 1, kLeaf = 2, kMidi = 3 };

    virtual ~CVeyStruct();

    const std::string& GetName() const override { return m_definition->name; }
    const CVeyAddressRange& GetAddressRange() const override { return m_definition->range; }

    virtual int GetKind() const = 0;
    // None (null) where the table of the struct kinds says so.
    virtual const CVeyStructList* GetChildStructs() const { return nullptr; }
    virtual CVeyStructList* GetChildStructs() { return nullptr; }
    // The list is grown through AddValue only; its values may be changed, never their records.
    virtual const std::vector<CVeyValue>* GetValues() const { return nullptr; }
    virtual std::vector<CVeyValue>* GetValues() { return nullptr; }
    virtual const std::vector<uint8_t>* GetData() const { return nullptr; }
    virtual std::vector<uint8_t>* GetData() { return nullptr; }
    // `range` in the parent's coordinates (absolute for a root); `bytes` holds exactly its bytes.
    virtual bool WriteData(const CVeyAddressRange& range, const uint8_t* bytes,
                           std::vector<CVeyValue*>& changedValues) = 0;
    virtual bool FindValue(const std::string& path, CVeyValue*& value) = 0;
    virtual bool FindStruct(const std::string& path, CVeyStruct*& found) = 0;
    virtual bool Transmit() = 0;
    // Usable only after Attach, which re-points parents and byte pointers to the clone.
    virtual std::unique_ptr<CVeyStruct> Clone() const = 0;
    // Structs that give the same number here hold values of the same records in the same order;
    // 0 when the struct does not say (compare the values themselves).
    virtual uint64_t GetValueLayout() const { return 0; }
    // True, once, when the struct's bytes were given its values' defaults before it was first
    // attached (see CVeyLeafStruct::PrepareDefaultBytes) and nothing has asked since.
    virtual bool TakePreparedDefaults() { return false; }

    // Building. A root or node takes child structs, a leaf takes values; the others refuse.
    virtual bool AddChild(std::unique_ptr<CVeyStruct> child);
    virtual CVeyValue* AddValue(const CVeyValueDefinition* definition);

    const CVeyStructDefinition* GetDefinition() const { return m_definition; }
    void SetDefinition(const CVeyStructDefinition* definition);
    // Points the struct at the pooled record with its name and `range`; the record it pointed at
    // (shared with other structs) is left as it was. A struct with data keeps its size: false when
    // `range` has another size.
    bool SetAddressRange(const CVeyAddressRange& range);

    // "name", "address", "size" out of `attributes` (blank-separated hex bytes). Default size: the
    // caller's. Writes the diagnostic line and returns false on a bad address or size.
    bool LoadAttributes(CVeyElementDefinition::CAttributes& attributes, int32_t defaultAddress, int32_t defaultSize);
    // The largest end among the child structs or values (0 when there are none).
    int32_t GetChildrenEnd() const;

    // The root struct above this struct (null when the top is not a root) and this struct's
    // absolute begin: walked up once, then kept until the tree next changes. A changed value
    // asks on every send.
    CVeyRootStruct* GetCachedRootAndBegin(uint32_t& absoluteBegin) const;
    // Every change of a parent or a range goes through here, so no kept root or begin outlives it.
    static void NoteTreeChanged();

protected:
    CVeyStruct();
    bool AttachToParent(CVeyStruct* parent);

    const CVeyStructDefinition* m_definition;

private:
    mutable uint64_t m_cachedTree = 0;   // the tree's change count the two below were found at
    mutable CVeyRootStruct* m_cachedRoot = nullptr;
    mutable uint32_t m_cachedBegin = 0;
};

// Root or node: owns child structs.
class AVeyParentStruct : public CVeyStruct
{
public:
    const CVeyStructList* GetChildStructs() const override { return &m_children; }
    CVeyStructList* GetChildStructs() override { return &m_children; }
    bool WriteData(const CVeyAddressRange& range, const uint8_t* bytes,
                   std::vector<CVeyValue*>& changedValues) override;
    bool FindValue(const std::string& path, CVeyValue*& value) override;
    bool FindStruct(const std::string& path, CVeyStruct*& found) override;
    bool Transmit() override;
    bool AddChild(std::unique_ptr<CVeyStruct> child) override;
    void DumpContents(GT::ATextOut& out) const override;
    void DumpAbsoluteNames(GT::ATextOut& out) const override;

protected:
    bool AttachChildren();
    void CloneChildrenInto(AVeyParentStruct& target) const;

    CVeyStructList m_children;
};

class CVeyRootStruct : public AVeyParentStruct
{
public:
    int GetKind() const override { return kRoot; }
    CVeyStruct* GetParent() const override { return nullptr; }
    bool Attach(CVeyStruct* parent) override;
    std::unique_ptr<CVeyStruct> Clone() const override;

    // Writes a received data-set message's data at the address its address bytes pack to.
    // Changed values go to CVeyBufferManager::OnValuesReceived. False when nothing was written.
    virtual bool ReceiveDt1(const std::vector<uint8_t>& addressBytes, const std::vector<uint8_t>& data);

    // Binds the MIDI output that sends this root's leaves and values (null unbinds). Refused with
    // a diagnostic line when a leaf could not go out as one message through that output.
    bool SetMidiOut(IVeyTransmitter* midiOut);
    IVeyTransmitter* GetMidiOut() const { return m_midiOut; }

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

protected:
    void CopyRootFields(const CVeyRootStruct& source);

private:
    IVeyTransmitter* m_midiOut = nullptr;
    bool m_modified = false;
};

class CVeyNodeStruct : public AVeyParentStruct
{
public:
    int GetKind() const override { return kNode; }
    CVeyStruct* GetParent() const override { return m_parent; }
    bool Attach(CVeyStruct* parent) override;
    std::unique_ptr<CVeyStruct> Clone() const override;

private:
    CVeyStruct* m_parent = nullptr;
};

class CVeyLeafStruct : public CVeyStruct
{
public:
    int GetKind() const override { return kLeaf; }
    CVeyStruct* GetParent() const override { return m_parent; }
    bool Attach(CVeyStruct* parent) override;
    const std::vector<CVeyValue>* GetValues() const override { return &m_values; }
    std::vector<CVeyValue>* GetValues() override { return &m_values; }
    const std::vector<uint8_t>* GetData() const override { return &m_data; }
    std::vector<uint8_t>* GetData() override { return &m_data; }
    bool WriteData(const CVeyAddressRange& range, const uint8_t* bytes,
                   std::vector<CVeyValue*>& changedValues) override;
    bool FindValue(const std::string& path, CVeyValue*& value) override;
    bool FindStruct(const std::string& path, CVeyStruct*& found) override;
    bool Transmit() override;
    std::unique_ptr<CVeyStruct> Clone() const override;
    CVeyValue* AddValue(const CVeyValueDefinition* definition) override;
    uint64_t GetValueLayout() const override { return m_layout; }
    bool TakePreparedDefaults() override;
    void DumpContents(GT::ATextOut& out) const override;
    void DumpAbsoluteNames(GT::ATextOut& out) const override;

    // Before the first Attach: gives the leaf its bytes holding its values' defaults, with the
    // values pointing into them, so that clones copy both in one pass and Attach has nothing left
    // to do for their values. False, and nothing done, when the leaf has bytes already or a value
    // does not fit (Attach reports it).
    bool PrepareDefaultBytes();
    // Gives back bytes taken before the first Attach; Attach makes them anew.
    void ReleaseUnattachedBytes();

private:
    static uint64_t NewLayout();

    CVeyStruct* m_parent = nullptr;
    bool m_attached = false;
    // Every value points into m_data, at its own place, and fits.
    bool m_bound = false;
    // m_data was given the values' defaults before the first Attach and nothing has asked since.
    bool m_preparedDefaults = false;
    // A new number for every leaf and every value added; a clone keeps its source's. The values
    // of a leaf under construction are only changed through AddValue and the value it returns,
    // before the leaf is cloned.
    uint64_t m_layout = NewLayout();
    // Both are sized while the model is built and never resized after Attach: values, the change
    // list and the views keep plain pointers into them.
    std::vector<CVeyValue> m_values;
    std::vector<uint8_t> m_data;
};

// New root (0), node (1), leaf (2) or MIDI struct (3); none for other kinds, and none for 3 until
// the MIDI channel-message struct has installed its creator.
std::unique_ptr<CVeyStruct> CreateStruct(int kind);
using VeyStructCreator = std::unique_ptr<CVeyStruct> (*)();
void VeySetMidiStructCreator(VeyStructCreator creator);

// Every value below `s` back to its default, children first; no handler, nothing marked.
void RevertStructDefaults(CVeyStruct& s);
// The same for a struct just created and attached, whose bytes are still all zero or were
// prepared with the defaults.
void WriteNewStructDefaults(CVeyStruct& s);
// Leaf data in depth-first pre-order (the data file body); false when the stream failed.
bool WriteStructData(const CVeyStruct& s, std::ostream& stream);
// Bytes WriteStructData writes for `s`: the sum of its leaves' sizes.
size_t GetStructDataSize(const CVeyStruct& s);

class CVeyBufferOperation
{
public:
    class IVisitor
    {
    public:
        virtual ~IVisitor() = default;
        virtual void Enter(CVeyStruct& s) = 0;
        virtual void Leave(CVeyStruct& s) = 0;
    };
    static void Walk(CVeyStruct& s, IVisitor& visitor);
};
