#pragma once
// The editor's user messages in English and Japanese, by message id: the table is emptied and
// filled with the 47 of them and the two that name a manual which cannot be shown.
namespace GT
{
class CIndexedStringTable;
}

void FillEditorMessages(GT::CIndexedStringTable& table);
