#include "midi/framework/CVeyMidiPortLists.h"

CVeyMidiInputs& CVeyMidiInputs::GetInstance()
{
    static CVeyMidiInputs inputs;
    return inputs;
}

CVeyMidiOutputs& CVeyMidiOutputs::GetInstance()
{
    static CVeyMidiOutputs outputs;
    return outputs;
}
