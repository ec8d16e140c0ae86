#include "platform/MidiPeerPorts.h"

#include <rtmidi/RtMidi.h>

#include <mutex>

struct CMidiPeerPorts::Impl
{
    FReceiver receiver;
    std::mutex errorMutex;
    bool failed = false;
    std::string errorText;
    std::unique_ptr<RtMidiIn> input;
    std::unique_ptr<RtMidiOut> output;

    static void Error(RtMidiError::Type type, const std::string& text, void* user)
    {
        if (type == RtMidiError::DEBUG_WARNING)
            return;
        auto* self = static_cast<Impl*>(user);
        std::lock_guard<std::mutex> lock(self->errorMutex);
        self->failed = true;
        self->errorText = text;
    }

    static void Received(double, std::vector<unsigned char>* message, void* user)
    {
        auto* self = static_cast<Impl*>(user);
        if (message && !message->empty() && self->receiver)
            self->receiver(*message);
    }

    bool TakeFailure(std::string* text = nullptr)
    {
        std::lock_guard<std::mutex> lock(errorMutex);
        const bool wasFailed = failed;
        failed = false;
        if (text)
            *text = errorText;
        return wasFailed;
    }
};

CMidiPeerPorts::CMidiPeerPorts() : d(std::make_unique<Impl>())
{
}

CMidiPeerPorts::~CMidiPeerPorts()
{
    d->input.reset();   // joins the input thread before the receiver goes
    d->output.reset();
}

std::unique_ptr<CMidiPeerPorts> CMidiPeerPorts::Create(EMidiApi api, const std::string& clientName,
                                                       const std::string& receivePort,
                                                       const std::string& sendPort, FReceiver receiver,
                                                       std::string& problem)
{
    const RtMidi::Api rtApi = api == EMidiApi::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
    std::unique_ptr<CMidiPeerPorts> ports(new CMidiPeerPorts);
    Impl& d = *ports->d;
    d.receiver = std::move(receiver);
    try
    {
        d.input = std::make_unique<RtMidiIn>(rtApi, clientName);
        // JACK gives every client a name of its own: the sending side is "<clientName> Out".
        d.output = std::make_unique<RtMidiOut>(rtApi, clientName + " Out");
    }
    catch (const RtMidiError& error)
    {
        problem = error.getMessage();
        return nullptr;
    }
    d.input->setErrorCallback(&Impl::Error, &d);
    d.output->setErrorCallback(&Impl::Error, &d);
    d.input->ignoreTypes(false, true, true);
    d.input->setCallback(&Impl::Received, &d);
    d.input->openVirtualPort(receivePort);
    d.output->openVirtualPort(sendPort);
    if (d.TakeFailure(&problem))
    {
        if (problem.empty())
            problem = "The ports could not be created.";
        return nullptr;
    }
    return ports;
}

bool CMidiPeerPorts::Send(const std::vector<BYTE>& bytes)
{
    d->TakeFailure();
    d->output->sendMessage(bytes.data(), bytes.size());
    return !d->TakeFailure();
}
