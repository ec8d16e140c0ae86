#pragma once
// The multimedia MIDI interface the MIDI library is written against: device counts and names,
// inputs opened with a callback function, system-exclusive buffers prepared, queued and returned
// in order, and outputs that take short messages at once and long ones asynchronously. It runs
// over the installed MIDI backend (MidiBackend.h): RtMidi on a real system, the virtual backend
// in tests. Results are MMRESULT codes; 0 is success.
#include "platform/Win32Types.h"

#include <cstddef>

using MMRESULT = UINT;
using DWORD_PTR = uintptr_t;
using UINT_PTR = uintptr_t;

struct HMIDIIN__;
struct HMIDIOUT__;
using HMIDIIN = HMIDIIN__*;
using HMIDIOUT = HMIDIOUT__*;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIDIERR_UNPREPARED = 64;
constexpr MMRESULT MIDIERR_STILLPLAYING = 65;
constexpr MMRESULT MIDIERR_NOTREADY = 67;
constexpr MMRESULT MIDIERR_NODEVICE = 68;

// Messages of the input callback.
constexpr UINT MIM_OPEN = 0x3C1;
constexpr UINT MIM_CLOSE = 0x3C2;
constexpr UINT MIM_DATA = 0x3C3;
constexpr UINT MIM_LONGDATA = 0x3C4;
constexpr UINT MIM_ERROR = 0x3C5;
constexpr UINT MIM_LONGERROR = 0x3C6;
constexpr UINT MIM_MOREDATA = 0x3CC;

constexpr DWORD CALLBACK_NULL = 0x00000;
constexpr DWORD CALLBACK_FUNCTION = 0x30000;

constexpr DWORD MHDR_DONE = 1;
constexpr DWORD MHDR_PREPARED = 2;
constexpr DWORD MHDR_INQUEUE = 4;

// Device names are not cut to Windows' 31 characters: ALSA and JACK names are longer, and a
// shortened name could no longer be told apart or opened again from the settings.
constexpr size_t MAXPNAMELEN = 256;

struct MIDIINCAPS
{
    WORD wMid;
    WORD wPid;
    DWORD vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD dwSupport;
};

struct MIDIOUTCAPS
{
    WORD wMid;
    WORD wPid;
    DWORD vDriverVersion;
    char szPname[MAXPNAMELEN];
    WORD wTechnology;
    WORD wVoices;
    WORD wNotes;
    WORD wChannelMask;
    DWORD dwSupport;
};

struct MIDIHDR
{
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;      // written by the driver's thread: read it with MidiHeaderFlags
    MIDIHDR* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;
    DWORD_PTR dwReserved[8];
};

using MIDIINPROC = void (*)(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                            DWORD_PTR param2);

// The header's flags as the driver last wrote them; the driver may set MHDR_DONE from its own thread.
inline DWORD MidiHeaderFlags(const MIDIHDR* header)
{
    return __atomic_load_n(&header->dwFlags, __ATOMIC_ACQUIRE);
}

UINT midiInGetNumDevs();
// `deviceId` is a device number or, cast, an open handle: then it fails once the device behind
// the handle has gone.
MMRESULT midiInGetDevCaps(UINT_PTR deviceId, MIDIINCAPS* caps, UINT size);
MMRESULT midiInOpen(HMIDIIN* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags);
MMRESULT midiInClose(HMIDIIN handle);
MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size);
MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size);
MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size);
MMRESULT midiInStart(HMIDIIN handle);
MMRESULT midiInStop(HMIDIIN handle);
MMRESULT midiInReset(HMIDIIN handle);
// Not in the Windows interface: whether the device behind an open handle is still there, with the
// results midiInGetDevCaps gives for the handle, but no capabilities read or copied. Senders ask
// it of every device on every message.
MMRESULT midiInGetPresence(HMIDIIN handle);

UINT midiOutGetNumDevs();
MMRESULT midiOutGetDevCaps(UINT_PTR deviceId, MIDIOUTCAPS* caps, UINT size);
MMRESULT midiOutOpen(HMIDIOUT* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags);
MMRESULT midiOutClose(HMIDIOUT handle);
MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size);
MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message);
MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size);
MMRESULT midiOutReset(HMIDIOUT handle);
// As midiInGetPresence, for an output.
MMRESULT midiOutGetPresence(HMIDIOUT handle);
