#include "librarian/app/LibrarianData.h"

#include "librarian/app/Reader.h"
#include "librarian/app/Writer.h"
#include "librarian/gp/MDIChildWndEx.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "toolkit/gt/IndexedStringTable.h"


#include <cerrno>

namespace
{
constexpr const char* kOptionSection = "Option";

struct SMessageText
{
    int32_t id;
    const char* english;
    const char* japanese;   // UTF-8, as the message boxes read it
};

const SMessageText kMessages[] = {
    {0, "Cannot overwrite this file because it is already in use.", "ファイルは現在使用中です。上書きできません。"},
    {2,
     "Unable to read/write data.\nChoose \"Help - Talvarix Librarian Manual\", and refer to \"7. If the display "
     "indicates 'Unable to read/write data.'\".",
     "データを読み込み／書き込みできませんでした。\n「ヘルプ － Talvarix "
     "Librarianの使いかた」を選択し、『7. 「データを読み込み／書き込みできませんでした」と表示された場合』をご覧ください。"},
    {3, "Cannot read files of this type.", "このファイルの形式を認識できません。"},
    {4, "The file could not be loaded.", "ファイルが読み込めませんでした。"},
    {5, "The file could not be saved.", "ファイルが保存できませんでした。"},
    {7, "MIDI connect error.", "MIDI 機器との接続が切断されました。"},
    {8, "MIDI reconnected.", "MIDI 機器と再接続しました。"},
    {9, "Manual\\TalvarixLibrarianManualE.pdf", "Manual\\TalvarixLibrarianManualJ.pdf"},
    {10, "Don't show this dialog again.", "次からこのダイアログを表示しない。"},
    {12,
     "MIDI devices aren't set up correctly.\nMake sure the settings in the \"Set Up MIDI Devices\" dialog box.",
     "MIDI機器が正しく設定されていません。\n「設定」－「MIDI機器の設定」を確認してください。"},
    {14, "Are you sure you want to read the SMF and overwrite the main window?",
     "SMF をインポートし、メイン・ウィンドウを上書きします。よろしいですか？"},
    {15, "Are you sure you want to load the data from the temporary area of the Talvarix?",
     "Talvarix の Temporary Area からデータを取得します。よろしいですか？"},
    {16, "Are you sure you want to load the data from the patch area of the Talvarix?",
     "Talvarix の Patch Area からデータを取得します。よろしいですか？"},
    {17, "Undefined error.", "未定義のエラーです。"},
    {18, "Are you sure you want to overwrite the temporary area of the Talvarix?",
     "Talvarix の Temporary Area を書き換えます。よろしいですか？"},
    {19, "Are you sure you want to overwrite the patch area of the Talvarix?",
     "Talvarix の Patch Area を書き換えます。よろしいですか？"},
    {20,
     "It appears that a tone other than a 'regular' Tone is selected at Talvarix.\nOnly 'regular' Tones are "
     "manageable with Talvarix Librarian.\n\nPlease select any 'regular' Tone at Talvarix and then retry the "
     "command.",
     "本体でレギュラー・トーン以外が選択されているようです。\nライブラリアンで扱えるのはレギュラー・トーンだけです。\n\n本体"
     "で任意のレギュラー・トーンを選択してから、操作してください。"},
    // The manual is not part of every installation: a click on Manual says where it was looked for.
    {21, "The manual was not found:\n%s", "マニュアルが見つかりません。\n%s"},
    {22, "The manual could not be opened:\n%s\nThe desktop has no program set up to show it.",
     "マニュアルを開けませんでした。\n%s\nデスクトップに表示用のプログラムが設定されていません。"},
};
}

CLibrarianData& CLibrarianData::GetInstance()
{
    static CLibrarianData data;
    return data;
}

CLibrarianData::CLibrarianData() { FillMessageTable(); }

const std::string& CLibrarianData::GetInstrumentName()
{
    static const std::string name("Talvarix");
    return name;
}

const std::string& CLibrarianData::GetExtension()
{
    static const std::string extension(".q9l");
    return extension;
}

const std::string& CLibrarianData::GetInitialFileName()
{
    static const std::string name("InitialData.q9l");
    return name;
}

const std::string& CLibrarianData::GetApplicationTitle()
{
    static const std::string title("Talvarix Librarian");
    return title;
}

void CLibrarianData::FillMessageTable()
{
    GT::CIndexedStringTable& table = GetMessageTable();
    for (const SMessageText& message : kMessages)
    {
        table.Set(GT::CIndexedStringTable::kEnglishSet, message.id, message.english);
        table.Set(GT::CIndexedStringTable::kJapaneseSet, message.id, message.japanese);
    }
}

const std::string& CLibrarianData::GetMessage(int32_t id) { return GetMessageTable().Find(id); }

void CLibrarianData::ShowMessage(int32_t id) { ShowText(GetMessage(id)); }

void CLibrarianData::ShowText(const std::string& text) { AfxMessageBox(text.c_str(), MB_OK); }

int CLibrarianData::AskYesNoCancel(const std::string& text)
{
    switch (AfxMessageBox(text.c_str(), MB_YESNOCANCEL))
    {
    case IDYES: return 1;
    case IDNO: return 0;
    default: return -1;
    }
}

void CLibrarianData::SetTransfers(std::unique_ptr<AReader> reader, std::unique_ptr<CWriter> writer)
{
    m_reader = std::move(reader);
    m_writer = std::move(writer);
}

void CLibrarianData::ReleaseTransfers()
{
    m_writer.reset();
    m_reader.reset();
}

void CLibrarianData::LoadOptions()
{
    m_font.ReadProfile(kOptionSection, "Font");
    m_gridSw = GetProfileInt(kOptionSection, "GridSw", 0);
    m_mode = GetProfileInt(kOptionSection, "Mode", 1);
    // Child frames come back where the user left them.
    GP::ChildPlacementMode = 2;
}

void CLibrarianData::SaveOptions() const
{
    m_font.WriteProfile(kOptionSection, "Font");
    WriteProfileInt(kOptionSection, "GridSw", m_gridSw);
    WriteProfileInt(kOptionSection, "Mode", m_mode);
}
