// Reads the dialog templates, icon, version and manifest back out of
// trilo-setup.exe with the platform's resource functions and compares them
// with the layout the installer must have, and the version of trilo-check.exe;
// and checks the progress bar helper on a real progress control.
//
//   gui_checks --setup=C:\path\trilo-setup.exe --check=C:\path\trilo-check.exe [GoogleTest options]
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_base.h"
#include "install/interaction.h"
#include "install/interface_text.h"
#include "notice_dialog.h"
#include "trilo_version.h"

namespace {

std::string g_setupPath;
std::string g_checkPath;

// --- A reader of DLGTEMPLATEEX ---------------------------------------------

struct Control {
  DWORD exStyle = 0, style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string cls;  // "Button", "Edit", "Static", "ComboBox" for the ordinals
  std::string text;
};

struct Dialog {
  DWORD exStyle = 0, style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;
  int pointSize = 0;
  std::string face;
  std::vector<Control> controls;
};

class Reader {
 public:
  Reader(const BYTE* data, size_t size) : p_(data), end_(data + size) {}
  bool ok() const { return ok_; }

  WORD Word() {
    WORD w = 0;
    Take(&w, sizeof w);
    return w;
  }
  DWORD Dword() {
    DWORD d = 0;
    Take(&d, sizeof d);
    return d;
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() {
    BYTE b = 0;
    Take(&b, 1);
    return b;
  }
  // sz_Or_Ord: 0 (none), 0xFFFF + ordinal, or a NUL-terminated UTF-16 text.
  std::string SzOrOrd(int* ordinal = nullptr) {
    WORD first = Word();
    if (first == 0xFFFF) {
      WORD value = Word();
      if (ordinal) *ordinal = value;
      return "#" + std::to_string(value);
    }
    std::wstring text;
    for (WORD c = first; ok_ && c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return Narrow(text);
  }
  void AlignDword(const BYTE* base) {
    while (ok_ && ((p_ - base) % 4) != 0) Byte();
  }
  void Skip(size_t n) {
    if (static_cast<size_t>(end_ - p_) < n) ok_ = false;
    else p_ += n;
  }
  const BYTE* pos() const { return p_; }

 private:
  static std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
  }
  void Take(void* out, size_t n) {
    if (static_cast<size_t>(end_ - p_) < n) {
      ok_ = false;
      return;
    }
    std::memcpy(out, p_, n);
    p_ += n;
  }
  const BYTE* p_;
  const BYTE* end_;
  bool ok_ = true;
};

std::string ClassName(int ordinal, const std::string& name) {
  switch (ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
  }
  return name;
}

class SetupModule {
 public:
  explicit SetupModule(const std::string& path = g_setupPath) {
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~SetupModule() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }

  bool Resource(LPCSTR type, int id, const BYTE*& data, size_t& size) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module_, found);
    if (!loaded) return false;
    data = static_cast<const BYTE*>(LockResource(loaded));
    size = SizeofResource(module_, found);
    return data != nullptr;
  }

  bool ReadDialog(int id, Dialog& dialog) const {
    const BYTE* data = nullptr;
    size_t size = 0;
    if (!Resource(MAKEINTRESOURCEA(5) /* RT_DIALOG */, id, data, size)) return false;
    Reader r(data, size);
    WORD version = r.Word();
    WORD signature = r.Word();
    if (version != 1 || signature != 0xFFFF) return false;  // not a DIALOGEX
    r.Dword();  // help id
    dialog.exStyle = r.Dword();
    dialog.style = r.Dword();
    WORD count = r.Word();
    dialog.x = r.Short();
    dialog.y = r.Short();
    dialog.cx = r.Short();
    dialog.cy = r.Short();
    r.SzOrOrd();  // menu
    r.SzOrOrd();  // class
    dialog.caption = r.SzOrOrd();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
      dialog.pointSize = r.Word();
      r.Word();  // weight
      r.Byte();  // italic
      r.Byte();  // charset
      dialog.face = r.SzOrOrd();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
      r.AlignDword(data);
      Control c;
      r.Dword();  // help id
      c.exStyle = r.Dword();
      c.style = r.Dword();
      c.x = r.Short();
      c.y = r.Short();
      c.cx = r.Short();
      c.cy = r.Short();
      c.id = static_cast<int>(static_cast<short>(r.Dword() & 0xFFFF));
      int ordinal = 0;
      std::string name = r.SzOrOrd(&ordinal);
      c.cls = ClassName(ordinal, name);
      c.text = r.SzOrOrd();
      WORD extra = r.Word();
      r.Skip(extra);
      dialog.controls.push_back(c);
    }
    return r.ok();
  }

 private:
  HMODULE module_ = nullptr;
};

// --- What the templates must hold ------------------------------------------

enum Kind { kDefButton, kButton, kStatic, kEdit, kCombo, kProgress };

struct Expected {
  int id;
  Kind kind;
  const char* text;
  short x, y, cx, cy;
};

struct ExpectedDialog {
  int id;
  const char* caption;
  short cx, cy;
  DWORD exStyle;
  bool sysMenu;
  std::vector<Expected> controls;
};

void ExpectControl(const Expected& want, const Control& got, int dialogId) {
  SCOPED_TRACE("dialog " + std::to_string(dialogId) + ", control " + std::to_string(want.id));
  EXPECT_EQ(want.id, got.id);
  EXPECT_EQ(std::string(want.text), got.text);
  EXPECT_EQ(want.x, got.x);
  EXPECT_EQ(want.y, got.y);
  EXPECT_EQ(want.cx, got.cx);
  EXPECT_EQ(want.cy, got.cy);
  EXPECT_TRUE(got.style & WS_CHILD);
  EXPECT_TRUE(got.style & WS_VISIBLE);
  switch (want.kind) {
    case kDefButton:
    case kButton:
      EXPECT_EQ("Button", got.cls);
      EXPECT_EQ(want.kind == kDefButton ? static_cast<DWORD>(BS_DEFPUSHBUTTON) : static_cast<DWORD>(BS_PUSHBUTTON),
                got.style & 0x0F);
      EXPECT_TRUE(got.style & WS_TABSTOP);
      break;
    case kStatic:
      EXPECT_EQ("Static", got.cls);
      EXPECT_EQ(static_cast<DWORD>(SS_LEFT), got.style & SS_TYPEMASK);
      break;
    case kEdit:
      EXPECT_EQ("Edit", got.cls);
      EXPECT_TRUE(got.style & WS_BORDER);
      EXPECT_TRUE(got.style & ES_AUTOHSCROLL);
      break;
    case kCombo:
      EXPECT_EQ("ComboBox", got.cls);
      EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWN), got.style & 0x3);
      EXPECT_FALSE(got.style & CBS_SORT);
      EXPECT_TRUE(got.style & WS_VSCROLL);
      break;
    case kProgress:
      EXPECT_EQ(0, lstrcmpiA(PROGRESS_CLASSA, got.cls.c_str())) << got.cls;  // class names ignore case
      EXPECT_TRUE(got.style & WS_BORDER);
      break;
  }
}

void ExpectDialog(const SetupModule& setup, const ExpectedDialog& want) {
  SCOPED_TRACE("dialog " + std::to_string(want.id));
  Dialog got;
  ASSERT_TRUE(setup.ReadDialog(want.id, got));
  EXPECT_EQ(std::string(want.caption), got.caption);
  EXPECT_EQ(0, got.x);
  EXPECT_EQ(0, got.y);
  EXPECT_EQ(want.cx, got.cx);
  EXPECT_EQ(want.cy, got.cy);
  EXPECT_EQ(8, got.pointSize);
  EXPECT_EQ("MS Sans Serif", got.face);
  EXPECT_TRUE(got.style & WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), got.style & WS_CAPTION);
  EXPECT_TRUE(got.style & DS_MODALFRAME);
  EXPECT_EQ(want.sysMenu, (got.style & WS_SYSMENU) != 0);
  EXPECT_FALSE(got.style & WS_VISIBLE);
  EXPECT_EQ(want.exStyle, got.exStyle);
  ASSERT_EQ(want.controls.size(), got.controls.size());
  for (size_t i = 0; i < want.controls.size(); ++i) ExpectControl(want.controls[i], got.controls[i], want.id);
}

// The VERSIONINFO of a program: its own name, the project's version as
// text (with the commit, when the build has one) and as numbers.
void ExpectVersionInfo(const std::string& path, const char* fileName) {
  DWORD ignored = 0;
  DWORD infoSize = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(infoSize, 0u) << path;
  std::vector<BYTE> info(infoSize);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, infoSize, info.data()));
  auto text = [&](const char* key) {
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + key;
    if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return std::string("(none)");
    }
    return std::string(value);
  };
  EXPECT_EQ(fileName, text("OriginalFilename"));
  EXPECT_EQ(TRILO_VERSION, text("FileVersion"));
  EXPECT_EQ(TRILO_VERSION, text("ProductVersion"));
  EXPECT_EQ("trilo", text("ProductName"));
  EXPECT_EQ("the trilo project", text("CompanyName"));
  EXPECT_EQ("Copyright (c) 2026 The trilo authors. MIT License", text("LegalCopyright"));
  EXPECT_NE("(none)", text("FileDescription"));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedLength = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength));
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(TRILO_VERSION_MINOR, TRILO_VERSION_MAJOR)), fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, TRILO_VERSION_PATCH)), fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
}

class SetupResources : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(nullptr, setup.get()) << "cannot load " << g_setupPath; }
  SetupModule setup;
};

TEST_F(SetupResources, MainAndQuestionDialogsHaveTheirLayout) {
  ExpectDialog(setup, {IDD_INSTALL, TXT_INSTALL_CAPTION, 389, 122, WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, false,
                       {{IDOK, kDefButton, TXT_INSTALL, 135, 84, 50, 14},
                        {IDCANCEL, kButton, TXT_CANCEL, 198, 84, 50, 14},
                        {IDC_PROGRESS, kProgress, "", 37, 55, 316, 14},
                        {-1, kStatic, TXT_SOURCE_LABEL, 7, 7, 38, 8},
                        {-1, kStatic, TXT_DEST_LABEL, 7, 31, 51, 8},
                        {IDC_SOURCE_TEXT, kStatic, "", 66, 9, 316, 8},
                        {IDC_DEST_TEXT, kStatic, "", 66, 31, 316, 8}}});
  ExpectDialog(setup, {IDD_LOCATE_FILE, TXT_LOCATE_CAPTION, 186, 108, 0, false,
                       {{IDC_PROMPT, kStatic, TXT_PROMPT_PLACEHOLDER, 11, 11, 168, 43},
                        {IDC_LOCATE_PATH, kEdit, "", 7, 60, 133, 14},
                        {IDC_BROWSE, kButton, TXT_BROWSE, 145, 60, 34, 14},
                        {IDOK, kDefButton, TXT_OK, 70, 87, 50, 14},
                        {IDCANCEL, kButton, TXT_CANCEL, 129, 87, 50, 14}}});
  ExpectDialog(setup, {IDD_VERSION_SELECT, "", 186, 110, WS_EX_TOOLWINDOW, false,
                       {{IDOK, kDefButton, TXT_OK, 71, 89, 50, 14},
                        {IDCANCEL, kButton, TXT_CANCEL, 129, 89, 50, 14},
                        {IDC_PROMPT, kStatic, TXT_VERSION_PROMPT, 11, 11, 168, 37},
                        {IDC_VERSION_COMBO, kCombo, "", 7, 54, 172, 49}}});
}

TEST_F(SetupResources, MainDialogStaysOnTopWithoutCloseBoxAndLocateOkStartsDisabled) {
  Dialog main, locate;
  ASSERT_TRUE(setup.ReadDialog(IDD_INSTALL, main));
  EXPECT_TRUE(main.style & DS_SYSMODAL);
  ASSERT_TRUE(setup.ReadDialog(IDD_LOCATE_FILE, locate));
  ASSERT_EQ(5u, locate.controls.size());
  EXPECT_TRUE(locate.controls[3].style & WS_DISABLED);  // OK until a path is there
  for (size_t i = 0; i < locate.controls.size(); ++i) {
    if (i != 3) {
      EXPECT_FALSE(locate.controls[i].style & WS_DISABLED) << locate.controls[i].id;
    }
  }
}

TEST_F(SetupResources, EachNoticeShowsTheCoreTextInItsOwnTemplate) {
  struct Layout {
    trilo::Notice notice;
    short cx, cy;
    Expected text, ok;
    bool sysMenu;
  };
  const Layout layouts[] = {
      {trilo::Notice::Complete, 134, 47, {-1, kStatic, "", 35, 7, 52, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14}, false},
      {trilo::Notice::Cancelled, 131, 47, {-1, kStatic, "", 37, 7, 54, 8}, {IDOK, kDefButton, TXT_OK, 39, 26, 50, 14}, false},
      {trilo::Notice::OptionsError, 186, 55, {-1, kStatic, "", 7, 7, 172, 22}, {IDOK, kDefButton, TXT_OK, 129, 34, 50, 14},
       true},
      {trilo::Notice::Failed, 134, 47, {-1, kStatic, "", 35, 7, 52, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14}, false},
      {trilo::Notice::UndoComplete, 134, 47, {-1, kStatic, "", 35, 7, 52, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14},
       false},
      {trilo::Notice::UndoFailed, 134, 47, {-1, kStatic, "", 35, 7, 52, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14},
       false},
      {trilo::Notice::UndoCancelled, 134, 47, {-1, kStatic, "", 35, 7, 60, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14},
       false},
      {trilo::Notice::UndoIncomplete, 134, 47, {-1, kStatic, "", 35, 7, 64, 8}, {IDOK, kDefButton, TXT_OK, 35, 26, 50, 14},
       false},
  };
  std::vector<int> templates;
  for (const Layout& layout : layouts) {
    Expected text = layout.text;
    text.text = trilo::NoticeText(layout.notice);
    int id = trilo::win32::NoticeTemplate(layout.notice);
    templates.push_back(id);
    ExpectDialog(setup, {id, TXT_NOTICE_CAPTION, layout.cx, layout.cy, WS_EX_TOOLWINDOW, layout.sysMenu,
                         {text, layout.ok}});
  }
  EXPECT_EQ((std::vector<int>{IDD_COMPLETION, IDD_CANCELLED, IDD_OPTIONS_ERROR, IDD_FAILED, IDD_UNDO_COMPLETE,
                              IDD_UNDO_FAILED, IDD_UNDO_CANCELLED, IDD_UNDO_INCOMPLETE}),
            templates);
}

TEST_F(SetupResources, SplashIsAnEmptyBorderlessPopup) {
  Dialog splash;
  ASSERT_TRUE(setup.ReadDialog(IDD_SPLASH, splash));
  EXPECT_EQ(41, splash.cx);
  EXPECT_EQ(37, splash.cy);
  EXPECT_TRUE(splash.style & WS_POPUP);
  EXPECT_FALSE(splash.style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE | WS_SYSMENU));
  EXPECT_EQ(0u, splash.exStyle);
  EXPECT_EQ("MS Sans Serif", splash.face);
  EXPECT_EQ(8, splash.pointSize);
  EXPECT_TRUE(splash.controls.empty());
  EXPECT_EQ("", splash.caption);
}

TEST_F(SetupResources, IconVersionAndManifest) {
  // The icon group 128 with small, standard, large and 256-pixel images
  // (a width of 256 is written as 0).
  const BYTE* data = nullptr;
  size_t size = 0;
  ASSERT_TRUE(setup.Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, IDR_MAINFRAME, data, size));
  ASSERT_GE(size, 6u);
  WORD count = *reinterpret_cast<const WORD*>(data + 4);
  ASSERT_EQ(size, 6u + 14u * count);
  std::vector<int> widths;
  for (WORD i = 0; i < count; ++i) widths.push_back(data[6 + 14 * i]);
  EXPECT_EQ((std::vector<int>{16, 32, 48, 0}), widths);

  // Common Controls 6 and DPI awareness, and no elevation by the "setup" name.
  ASSERT_TRUE(setup.Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1, data, size));
  std::string manifest(reinterpret_cast<const char*>(data), size);
  EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
  EXPECT_NE(std::string::npos, manifest.find("<dpiAware"));
  EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));

  // The assembly's version is the project's, in the four numbers Windows wants.
  EXPECT_NE(std::string::npos, manifest.find("name=\"Trilo.Setup\" version=\"" TRILO_VERSION_QUAD "\""));

  ExpectVersionInfo(g_setupPath, "trilo-setup.exe");
}

TEST(CheckResources, VersionInfoAndManifest) {
  ExpectVersionInfo(g_checkPath, "trilo-check.exe");
  // Manifested, so that Windows never virtualises what it reads, on the
  // systems the installer names.
  const SetupModule check(g_checkPath), setup;
  const BYTE *data = nullptr, *setupData = nullptr;
  size_t size = 0, setupSize = 0;
  ASSERT_TRUE(check.Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1, data, size));
  ASSERT_TRUE(setup.Resource(MAKEINTRESOURCEA(24), 1, setupData, setupSize));
  const std::string manifest(reinterpret_cast<const char*>(data), size);
  const std::string setupManifest(reinterpret_cast<const char*>(setupData), setupSize);
  EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
  const std::string windows10 = "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>";
  EXPECT_NE(std::string::npos, manifest.find(windows10));
  const size_t from = manifest.find("<compatibility"), to = manifest.find("</compatibility>");
  ASSERT_NE(std::string::npos, to);
  EXPECT_NE(std::string::npos, setupManifest.find(manifest.substr(from, to - from))) << "the same systems as the installer";
}

// --- Texts that do not fit ---------------------------------------------------

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Placed {
  HWND hwnd;
  RECT rect;  // in the dialog's client coordinates
};

BOOL CALLBACK CollectPlaced(HWND child, LPARAM param) {
  auto* placed = reinterpret_cast<std::vector<Placed>*>(param);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  if (!placed->empty() && GetParent(child) != GetParent(placed->front().hwnd)) return TRUE;
  placed->push_back({child, r});
  return TRUE;
}

std::vector<Placed> Children(HWND dialog) {
  std::vector<Placed> placed;
  EnumChildWindows(dialog, CollectPlaced, reinterpret_cast<LPARAM>(&placed));
  return placed;
}

LONG ClientWidth(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return r.right;
}

// The main dialog with a label too long for its control: the label widens
// to one line, the column of copy texts beside it moves along with the gap it
// had, and the dialog grows by as much, keeping its right margin. Nothing
// else moves, and texts that fit change nothing.
TEST_F(SetupResources, AStaticThatDoesNotFitWidensItsDialog) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  HWND dialog = CreateDialogParamA(setup.get(), MAKEINTRESOURCEA(IDD_INSTALL), nullptr, Quiet, 0);
  ASSERT_NE(nullptr, dialog);
  const std::vector<Placed> before = Children(dialog);
  const LONG width = ClientWidth(dialog);
  ASSERT_EQ(7u, before.size());

  trilo::win32::FitStaticTexts(dialog);
  const std::vector<Placed> fitting = Children(dialog);
  for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(EqualRect(&before[i].rect, &fitting[i].rect)) << i;
  EXPECT_EQ(width, ClientWidth(dialog));

  // The destination label (the fifth control) gets a text twice as long.
  HWND label = before[4].hwnd;
  const std::string longer = std::string(TXT_DEST_LABEL) + " " + TXT_DEST_LABEL;
  SetWindowTextA(label, longer.c_str());
  trilo::win32::FitStaticTexts(dialog);
  const std::vector<Placed> after = Children(dialog);
  const LONG grown = (after[4].rect.right - after[4].rect.left) - (before[4].rect.right - before[4].rect.left);
  EXPECT_GT(grown, 0);
  EXPECT_EQ(before[4].rect.bottom - before[4].rect.top, after[4].rect.bottom - after[4].rect.top);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  SIZE line;
  GetTextExtentPoint32A(dc, longer.c_str(), static_cast<int>(longer.size()), &line);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  EXPECT_GE(after[4].rect.right - after[4].rect.left, line.cx);  // one line, whole
  const LONG gap = before[6].rect.left - before[4].rect.right;
  EXPECT_EQ(after[4].rect.right + gap, after[6].rect.left);  // the destination text keeps its gap
  EXPECT_EQ(after[6].rect.left, after[5].rect.left);        // and the source text its column
  for (size_t i : {0, 1, 2, 3}) EXPECT_TRUE(EqualRect(&before[i].rect, &after[i].rect)) << i;
  EXPECT_EQ(width + (after[6].rect.right - before[6].rect.right), ClientWidth(dialog));
  DestroyWindow(dialog);
}

// The bar must count past 65535 entries: a 16-bit range would wrap there and
// the bar would fill up many times over during a large install.
TEST(ProgressBar, RangeAndStepsBeyondSixteenBits) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, bar);
  SendMessageA(bar, PBM_SETPOS, 5, 0);
  const int count = 70000;
  trilo::win32::ResetProgressBar(bar, count);
  EXPECT_EQ(0, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
  EXPECT_EQ(count, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
  EXPECT_EQ(0, SendMessageA(bar, PBM_GETPOS, 0, 0));
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(1, SendMessageA(bar, PBM_GETPOS, 0, 0));
  SendMessageA(bar, PBM_SETPOS, count - 2, 0);
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(count - 1, SendMessageA(bar, PBM_GETPOS, 0, 0));
  SendMessageA(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(count, SendMessageA(bar, PBM_GETPOS, 0, 0));  // the last entry fills it, no wrap
  DestroyWindow(bar);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--setup=", 8) == 0) g_setupPath = argv[i] + 8;
    if (std::strncmp(argv[i], "--check=", 8) == 0) g_checkPath = argv[i] + 8;
  }
  if (g_setupPath.empty() || g_checkPath.empty()) {
    std::fprintf(stderr, "gui_checks: --setup=PATH of trilo-setup.exe and --check=PATH of trilo-check.exe are needed\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
