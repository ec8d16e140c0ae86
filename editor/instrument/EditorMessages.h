#pragma once
// The editor's user messages in English and Japanese, by message id.
namespace GT
{
class CIndexedStringTable;
}

void FillEditorMessages(GT::CIndexedStringTable& table);
