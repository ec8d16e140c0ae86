// A stand-in program for the single-instance tests, started as a separate process:
//   InstanceChannelHelper <folder> <name> first <count> [late]
//       claims the channel, prints "first" or "second"; as first, prints "received:<command>"
//       for each command and ends once <count> have arrived. With "late" it receives the <count>
//       commands before it has a handler (a program still starting up), prints "queued:<n>",
//       and installs its handler once a line arrives on standard input.
//   InstanceChannelHelper <folder> <name> send <command>
//       claims the channel; as second, hands <command> over and ends with 0 when it was
//       acknowledged, 1 when not; ends with 2 when it found itself first.
//   InstanceChannelHelper <folder> <name> hold
//       claims the channel, prints "first" or "second" and waits until it is killed.
#include "platform/GuiBootstrap.h"
#include "platform/InstanceChannel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 64;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The test's private folder serves as runtime folder too (Qt asks for one at start).
    setenv("XDG_RUNTIME_DIR", argv[1], 1);
    CGuiBootstrap application(argc, argv);
    const std::string mode = argv[3];
    CInstanceChannel channel(argv[2], argv[1]);
    std::cout << (channel.IsFirst() ? "first" : "second") << std::endl;

    if (mode == "send")
    {
        if (channel.IsFirst())
            return 2;
        return channel.Send(argc > 4 ? argv[4] : "", 30000) ? 0 : 1;
    }
    if (mode == "hold")
    {
        for (;;)
            pause();
    }
    if (mode == "first" && argc > 4)
    {
        if (!channel.IsFirst())
            return 2;
        const size_t count = static_cast<size_t>(std::atoi(argv[4]));
        if (argc > 5 && std::strcmp(argv[5], "late") == 0)
        {
            // Running, but not ready to open documents yet: what arrives is queued.
            if (!channel.WaitForReceived(count, 60000))
                return 1;
            std::cout << "queued:" << channel.QueuedCount() << std::endl;
            std::string line;
            std::getline(std::cin, line);
        }
        channel.SetHandler([](const std::string& command) { std::cout << "received:" << command << std::endl; });
        // Generous: the test ends this process itself when it has seen what it waits for.
        if (!channel.WaitForReceived(count, 60000))
            return 1;
        std::cout << "done" << std::endl;
        return 0;
    }
    return 64;
}
