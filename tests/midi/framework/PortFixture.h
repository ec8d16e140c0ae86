#pragma once
// A small model and its MIDI ports, built from definitions as the script reader would leave them:
//   root "fm" at 10 00 00 00 with leaves "common" (level, pan) at +0 and "tone" (level, pan) at
//   +01 00, and "display" (a 20-character text "message") at +02 00;
//   MIDI struct "ms";
//   input "in" (model 00 00 3C, fm, ms, thru output "thru");
//   outputs "out" (model 00 00 3C, fm, ms, message value fm.display.message) and "thru".
// Recording devices stand in for the hardware.
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/framework/IVeyMidiListener.h"
#include "model/CVeyElementDefinition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CRecordingOutDevice : public CVeyMidiOutDevice
{
public:
    explicit CRecordingOutDevice(const std::string& name = "recorder") : CVeyMidiOutDevice(name) {}
    bool Send(const std::vector<uint8_t>& bytes) override;

    std::vector<std::string> sent;   // hex
    bool accept = true;
};

class CRecordingListener : public IVeyMidiListener
{
public:
    bool OnShortMessage(const ML::CShortMessage& message) override;
    bool OnLongMessage(const ML::CLongMessage& message) override;
    bool OnDt1(const ML::CVantorMessage& message) override;

    std::vector<std::string> heard;   // "short B0 07 64", "long ...", "dt1 ..."
};

// The definitions of the fixture's script; tests change them before Create.
struct CFixtureScript
{
    CFixtureScript();

    CVeyElementDefinition& Input(size_t i = 0) { return inputs[i]; }
    CVeyElementDefinition& Output(size_t i = 0) { return outputs[i]; }

    CVeyTypeDefinitions structTypes;
    CVeyElementDefinitions rootStructs;
    CVeyElementDefinitions midiStructs;
    CVeyElementDefinitions inputs;
    CVeyElementDefinitions outputs;
};

class CPortTest : public ::testing::Test
{
protected:
    void TearDown() override;

    // Hands the script to the managers and creates them; true on success.
    bool Create(const CFixtureScript& script = CFixtureScript());
    // Create, then a recorder on "out", one on "thru", and the listener on "in".
    void CreateWired();

    CRecordingOutDevice m_out{"out device"};
    CRecordingOutDevice m_thru{"thru device"};
    CRecordingListener m_listener;
};
