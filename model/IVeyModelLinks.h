#pragma once
// The model's seams towards the layers above it. The model knows nothing of MIDI ports, views or
// resources; those layers implement these interfaces and plug themselves in after creation.
#include "model/CVeyAddress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CVeyValue;

// Every data-set message handed to a MIDI output is at most this long, frame included.
constexpr size_t kVeyMaxMessageSize = 2048;

// The MIDI output a root struct is bound to (the MIDI manager binds each script output to its
// root structs with CVeyRootStruct::SetMidiOut). Leaves and values of the root send through it.
class IVeyTransmitter
{
public:
    virtual ~IVeyTransmitter() = default;
    // One data-set message carrying `size` bytes at the absolute `address`.
    virtual void SendDt1(CVeyAddress address, const uint8_t* data, size_t size) = 0;
    // Bytes the message adds around its data: F0, maker, device, model ID, command, address,
    // checksum, F7. The model refuses to send blocks that would exceed kVeyMaxMessageSize.
    virtual size_t GetDt1FrameSize() const = 0;
};

// The view manager: redraws the views bound to the values of a change list.
class IVeyViewUpdater
{
public:
    virtual ~IVeyViewUpdater() = default;
    // True when some view changed.
    virtual bool UpdateViews(const std::vector<CVeyValue*>& changes) = 0;
};

// A link that shows the last message sent by a MIDI output in a text value. The buffer manager
// owns the links and refreshes them, in list order, at the end of every Flush.
class IVeyMidiMessageValueLink
{
public:
    virtual ~IVeyMidiMessageValueLink() = default;
    virtual void Update() = 0;
    virtual std::string GetText() const = 0;
};

// A number table resource ("numberTableRef"); the resource manager's integer tables implement it.
class IVeyNumberTable
{
public:
    virtual ~IVeyNumberTable() = default;
    virtual int32_t GetNumberCount() const = 0;
    // Callers keep 0 <= index < GetNumberCount().
    virtual int32_t GetNumberAt(int32_t index) const = 0;
};

// Finds number tables by name for the value declarations; the resource manager implements it and
// installs itself with CVeyBufferManager::SetNumberTableProvider.
class IVeyNumberTableProvider
{
public:
    virtual ~IVeyNumberTableProvider() = default;
    virtual const IVeyNumberTable* FindNumberTable(const std::string& name) const = 0;
};
