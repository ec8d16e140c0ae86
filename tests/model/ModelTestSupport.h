#pragma once
// Small builders for model tests: a MIDI output that records what it is asked to send, a view
// updater that records what it is asked to redraw, and shorthands for script definitions.
#include "model/CVeyBufferManager.h"
#include "model/CVeyElementDefinition.h"
#include "model/IVeyModelLinks.h"

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct CSentDt1
{
    int32_t address;
    std::vector<uint8_t> data;
    bool operator==(const CSentDt1& o) const { return address == o.address && data == o.data; }
};

class CRecordingTransmitter : public IVeyTransmitter
{
public:
    explicit CRecordingTransmitter(size_t frameSize = 15) : m_frameSize(frameSize) {}
    void SendDt1(CVeyAddress address, const uint8_t* data, size_t size) override
    {
        sent.push_back({address.Get(), std::vector<uint8_t>(data, data + size)});
    }
    size_t GetDt1FrameSize() const override { return m_frameSize; }

    std::vector<CSentDt1> sent;

private:
    size_t m_frameSize;
};

class CRecordingViewUpdater : public IVeyViewUpdater
{
public:
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        calls.push_back(changes);
        return !changes.empty();
    }
    std::vector<std::vector<CVeyValue*>> calls;
};

class CFakeNumberTable : public IVeyNumberTable
{
public:
    explicit CFakeNumberTable(std::vector<int32_t> numbers) : m_numbers(std::move(numbers)) {}
    int32_t GetNumberCount() const override { return static_cast<int32_t>(m_numbers.size()); }
    int32_t GetNumberAt(int32_t index) const override { return m_numbers.at(static_cast<size_t>(index)); }

private:
    std::vector<int32_t> m_numbers;
};

class CFakeNumberTables : public IVeyNumberTableProvider
{
public:
    const IVeyNumberTable* FindNumberTable(const std::string& name) const override
    {
        auto it = tables.find(name);
        return it == tables.end() ? nullptr : &it->second;
    }
    std::map<std::string, CFakeNumberTable> tables;
};

using CAttrs = std::initializer_list<std::pair<std::string, std::string>>;

CVeyElementDefinition MakeElement(const std::string& typeName, CAttrs attributes);
CVeyTypeDefinition MakeType(const std::string& typeName, CAttrs attributes,
                            std::initializer_list<CVeyElementDefinition> structs,
                            std::initializer_list<CVeyElementDefinition> values);

// Appends to the buffer group of the script definitions.
void AddStructType(const CVeyTypeDefinition& type);
void AddRootStruct(const CVeyElementDefinition& element);

// Empties the buffer manager and the script definitions; tests start and end with this.
void ResetModel();

// Hex text ("01 7F") of bytes.
std::string Hex(const uint8_t* bytes, size_t size);
std::string Hex(const std::vector<uint8_t>& bytes);

// The small tree most tests use, built from script definitions:
//   fm (root, 10 00 00 00)
//     pat (node)
//       common (leaf, 17 bytes): patchName string 0C "INIT PATCH", level int1x7 100,
//               pan int1x7 -64S..63S default 0S, tune int2x4 -100S..100S, rate int1x7 0..8
//       tone[0] at 00 00 20 00, tone[1] at 00 00 21 00 (leaves, 3 bytes): sw int1x7 0..1,
//               cutoff int2x7 0..1023 default 512
// Returns whether the manager created it.
bool BuildSampleModel();
