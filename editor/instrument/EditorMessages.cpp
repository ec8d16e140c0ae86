#include "editor/instrument/EditorMessages.h"

#include "toolkit/gt/IndexedStringTable.h"

#include <cstdint>

namespace
{
struct CMessage
{
    int32_t id;
    const char* english;
    const char* japanese;
};

const CMessage kMessages[] = {
    {1, "Reading SMF.", "SMF を読み込み中です。"},
    {2,
     "Unable to read/write data.\nChoose \"Help - Talvarix Editor Manual\", and refer to \"6. If the display indicates "
     "'Unable to read/write data.'\".",
     "データを読み込み／書き込みできませんでした。\n「ヘルプ － Talvarix "
     "Editorの使いかた」を選択し、『6. 「データを読み込み／書き込みできませんでした」と表示された場合』をご覧ください。"},
    {3, "Cannot read files of this type.", "このファイルの形式を認識できません。"},
    {4, "The file could not be loaded.", "ファイルが読み込めませんでした。"},
    {5, "The file could not be saved.", "ファイルが保存できませんでした。"},
    {6, "Updating.", "更新中です。"},
    {7, "MIDI connect error.", "MIDI 機器との接続が切断されました。"},
    {8, "MIDI reconnected.", "MIDI 機器と再接続しました。"},
    {9, "Manual\\TalvarixEditorManualE.pdf", "Manual\\TalvarixEditorManualJ.pdf"},
    {10, "MIDI devices aren't set up correctly. \nMake sure the settings in the \"Set Up MIDI Devices\" dialog box.",
     "MIDI機器が正しく設定されていません。\n「設定」－「MIDI機器の設定」を確認してください。"},
    {11, "Now, getting data.", "データを取得中です。"},
    {12, "Now, synchronizing data.", "データ同期中です。"},
    {13, "Undefined error.", "未定義のエラーです。"},
    {15, "Are you sure you want to overwrite the system area of the Talvarix?",
     "Talvarix の System Area を書き換えます。よろしいですか？"},
    {16,
     "It appears that a tone other than a 'regular' Tone is selected at Talvarix.\nOnly 'regular' Tones are editable.\n\n"
     "If you want to edit a 'regular' Tone, please select any 'regular' Tone at Talvarix and then click the [READ] "
     "button.\n\nIf you don't want to edit a 'regular' Tone, please quit Talvarix Editor.\n",
     "本体でレギュラー・トーン以外が選択されているようです。\nエディットできるのはレギュラー・トーンだけです。\n\n"
     "レギュラー・トーンをエディットする場合は、本体で任意のレギュラー・トーンを選択してから、[READ]"
     "ボタンをクリックしてください。\n\nレギュラー・トーンをエディットしない場合は、エディターを終了してください。\n"},
    {17, "Open...        Ctrl+O", "開く...        Ctrl+O"},
    {18, "", ""},
    {19, "Save             Ctrl+S", "保存        Ctrl+S"},
    {20, "SaveAs...", "名前を付けて保存..."},
    {21, "", ""},
    {22, "Import SMF...", "SMF をインポート..."},
    {23, "Export SMF", "SMF をエクスポート"},
    {25, "Patch...", "Patch..."},
    {27, "Initialize", "初期化"},
    {28, "Copy", "コピー"},
    {29, "Paste", "貼り付け"},
    {30, "", ""},
    {31, "Copy MIDI Message to Clipboard", "MIDI メッセージﾞをクリップボードにコピー"},
    {33, "Patch", "Patch"},
    {35, "Patch Tone 1", "Patch Tone 1"},
    {36, "Patch Tone 2", "Patch Tone 2"},
    {37, "Patch Tone 3", "Patch Tone 3"},
    {38, "Patch Tone 4", "Patch Tone 4"},
    {39, "Patch Set MFX", "Patch Set MFX"},
    {40, "Patch Chorus", "Patch Chorus"},
    {41, "Patch Reverb", "Patch Reverb"},
    {43, "Patch Tone 1", "Patch Tone 1"},
    {44, "Patch Tone 2", "Patch Tone 2"},
    {45, "Patch Tone 3", "Patch Tone 3"},
    {46, "Patch Tone 4", "Patch Tone 4"},
    {47, "Patch Set MFX", "Patch Set MFX"},
    {48, "Patch Chorus", "Patch Chorus"},
    {49, "Patch Reverb", "Patch Reverb"},
    {51, "Set Up MIDI Devices...", "MIDI 機器の設定..."},
    {53, "Talvarix Editor Manual", "Talvarix Editor の使いかた"},
    {54, "About Talvarix Editor...", "Talvarix Editor について..."},
    {56, "Do you want to save the changes you made to the document \"%s\"?", "書類 \"%s\" に加えた変更を保存しますか？"},
    // The manual is not part of every installation: a click on Manual says where it was looked for.
    {57, "The manual was not found:\n%s", "マニュアルが見つかりません。\n%s"},
    {58, "The manual could not be opened:\n%s\nThe desktop has no program set up to show it.",
     "マニュアルを開けませんでした。\n%s\nデスクトップに表示用のプログラムが設定されていません。"},
};
}

void FillEditorMessages(GT::CIndexedStringTable& table)
{
    table.Clear();
    for (const CMessage& message : kMessages)
    {
        table.Set(GT::CIndexedStringTable::kEnglishSet, message.id, message.english);
        table.Set(GT::CIndexedStringTable::kJapaneseSet, message.id, message.japanese);
    }
}
