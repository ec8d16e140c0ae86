#pragma once
// Told about every message a MIDI input accepts: channel messages, universal system-exclusive
// messages and data sets, each after the model has taken it. The requester is the usual listener.
namespace ML
{
class CShortMessage;
class CLongMessage;
class CVantorMessage;
}

class IVeyMidiListener
{
public:
    virtual ~IVeyMidiListener() = default;
    virtual bool OnShortMessage(const ML::CShortMessage& message) = 0;
    virtual bool OnLongMessage(const ML::CLongMessage& message) = 0;
    virtual bool OnDt1(const ML::CVantorMessage& message) = 0;
};
