// gui_probe: looks at the installer's windows from another process, the way
// an accessibility tool would, so that the GUI tests can check what a person
// sees (texts, enabled buttons, combo entries, the progress bar) and where to
// click. It also serves as a slow command for the installer to run.
//
//   gui_probe list                         every visible installer window
//   gui_probe wait [options]               until a window matches, then list it
//       --title T    caption equals T        --has-id N   holds a control N
//       --text S     a control's text is S   --gone       until none matches
//       --class C    the window's class is C (ComboLBox: an open drop-down list)
//       --timeout MS (default 15000)
//   gui_probe post HWND MESSAGE WPARAM LPARAM
//   gui_probe sleep MS [FLAG]              (as an install command) makes FLAG, then sleeps
//
// list and wait answer with one JSON document on stdout (texts escaped to
// plain ASCII, \uXXXX beyond it):
//   {"windows":[{"hwnd":N, "xid":N, "exe":S, "class":S, "title":S, "x":N, "y":N, "w":N, "h":N,
//                "cw":N, "ch":N, "enabled":B, "unitx":N, "unity":N, ["entries":[S...], "sel":N, "itemh":N,]
//                "items":[{"hwnd":N, "id":N, "class":S, "text":S, "x":N, "y":N, "w":N, "h":N, "cw":N, "ch":N,
//                          "enabled":B, "visible":B, ["needw":N, "needh":N,] ["entries":[S...], "sel":N,]
//                          ["min":N, "max":N, "pos":N]}]}]}
// unitx and unity are the dialog base units of the installer's dialog font; needw and needh the room a
// static's text needs at the static's width, measured in that font.
// A text is null when its window did not answer in time. wait adds "timeout":true|false; after
// a timeout it lists every installer window.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kInstallerExe[] = L"trilo-setup.exe";
const UINT kSendTimeoutMs = 2000;

// --- JSON --------------------------------------------------------------------

std::string Number(long long value) { return std::to_string(value); }
std::string Bool(bool value) { return value ? "true" : "false"; }

// Window texts are read as UTF-16, so this is the ANSI text as the system
// decoded it with its code page; escaping all but printable ASCII keeps the
// output the same bytes whatever the console's code page is.
std::string String(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out + "\"";
}

std::string String(const std::optional<std::wstring>& text) { return text ? String(*text) : "null"; }

std::string Array(const std::vector<std::string>& values) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + values[i];
  return out + "]";
}

// The members of one object, in the order they are added.
class Object {
 public:
  Object& Add(const char* key, const std::string& json) {
    body_ += (body_.empty() ? "\"" : ",\"") + std::string(key) + "\":" + json;
    return *this;
  }
  std::string Json() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

// --- Reading windows ----------------------------------------------------------

std::wstring ExePathOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::wstring();
  wchar_t path[MAX_PATH] = {0};
  DWORD size = MAX_PATH;
  std::wstring full;
  if (QueryFullProcessImageNameW(process, 0, path, &size)) full.assign(path, size);
  CloseHandle(process);
  return full;
}

std::wstring ExeOf(HWND window) {
  std::wstring name = ExePathOf(window);
  size_t slash = name.find_last_of(L"\\/");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {0};
  GetClassNameW(window, name, 256);
  return name;
}

bool IsClass(HWND window, const wchar_t* cls) { return lstrcmpiW(ClassOf(window).c_str(), cls) == 0; }

// Texts travel between processes as UTF-16 (the ANSI forms of the combo box
// messages are not carried whole); a timeout keeps a busy installer from
// hanging the probe.
std::optional<std::wstring> TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &got);
  return std::wstring(buffer.data());
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// --- Measuring texts -----------------------------------------------------------
//
// A font belongs to the process that made it, so the dialog's own cannot be
// borrowed: the probe makes the same one, from the font the installer's
// dialog templates name, as the dialog manager makes it.

struct TemplateFont {
  WORD points = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::wstring face;
};

// The first dialog template with a number for a name (the installer's all
// have one).
BOOL CALLBACK FirstNumbered(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (!IS_INTRESOURCE(name)) return TRUE;
  *reinterpret_cast<LPWSTR*>(found) = name;
  return FALSE;
}

// The font of the first dialog template of an executable (every dialog of
// the installer names the same one, as gui_checks makes sure).
bool ReadTemplateFont(const std::wstring& exe, TemplateFont& font) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  LPWSTR first = nullptr;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, FirstNumbered, reinterpret_cast<LONG_PTR>(&first));
  bool ok = false;
  HRSRC resource = first ? FindResourceW(module, first, MAKEINTRESOURCEW(5)) : nullptr;
  const WORD* p = resource ? static_cast<const WORD*>(LockResource(LoadResource(module, resource))) : nullptr;
  // DLGTEMPLATEEX: version 1 and 0xFFFF, help id, extended style, style,
  // item count, x, y, cx, cy, then menu, class and caption.
  if (p && p[0] == 1 && p[1] == 0xFFFF) {
    const DWORD style = *reinterpret_cast<const DWORD*>(p + 6);
    p += 13;
    for (int text = 0; text < 3; ++text) {
      if (*p == 0xFFFF) p += 2;
      else {
        while (*p) ++p;
        ++p;
      }
    }
    if (style & DS_SETFONT) {
      font.points = p[0];
      font.weight = p[1];
      font.italic = static_cast<BYTE>(p[2] & 0xFF);
      font.charset = static_cast<BYTE>(p[2] >> 8);
      font.face = reinterpret_cast<const wchar_t*>(p + 3);
      ok = true;
    }
  }
  FreeLibrary(module);
  return ok;
}

// The dialog font of the installer whose window this is, made once.
HFONT DialogFont(HWND window) {
  static HFONT font = nullptr;
  if (font) return font;
  TemplateFont t;
  if (!ReadTemplateFont(ExePathOf(window), t)) return nullptr;
  HDC screen = GetDC(nullptr);
  font = CreateFontW(-MulDiv(t.points, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, t.weight, t.italic, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE,
                     t.face.c_str());
  ReleaseDC(nullptr, screen);
  return font;
}

// The dialog base units of that font, as the dialog manager takes them: the
// average width of the letters and the height of a line.
SIZE BaseUnits(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SIZE letters = {0, 0};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

// The room a static's text needs at the static's width, drawn as a static
// draws it; nullopt for statics that show no text.
std::optional<SIZE> NeededRoom(HWND item, const std::wstring& text) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(item, GWL_STYLE));
  const DWORD type = style & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
    return std::nullopt;
  HFONT font = DialogFont(GetAncestor(item, GA_ROOT));
  if (!font) return std::nullopt;
  RECT client;
  GetClientRect(item, &client);
  UINT flags = DT_CALCRECT | DT_EXPANDTABS;
  flags |= type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r = {0, 0, client.right, 0};
  DrawTextW(dc, text.c_str(), -1, &r, flags);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right, r.bottom};
}

std::string Handle(const void* handle) { return Number(static_cast<long long>(reinterpret_cast<UINT_PTR>(handle))); }

void AddGeometry(Object& object, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  object.Add("x", Number(r.left)).Add("y", Number(r.top));
  object.Add("w", Number(r.right - r.left)).Add("h", Number(r.bottom - r.top));
}

// The entries of a combo box (CB_ messages) or of its drop-down list (LB_).
std::string Entries(HWND box, UINT countMsg, UINT lengthMsg, UINT textMsg) {
  LRESULT count = Send(box, countMsg, 0, 0);
  std::vector<std::string> entries;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = Send(box, lengthMsg, i, 0);
    if (length < 0) break;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 2, L'\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, textMsg, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                        &ignored);
    entries.push_back(String(std::wstring(text.data())));
  }
  return Array(entries);
}

std::string DescribeItem(HWND item) {
  Object object;
  object.Add("hwnd", Handle(item)).Add("id", Number(GetDlgCtrlID(item)));
  const std::optional<std::wstring> text = TextOf(item);
  object.Add("class", String(ClassOf(item))).Add("text", String(text));
  AddGeometry(object, item);
  RECT client;
  GetClientRect(item, &client);
  object.Add("cw", Number(client.right)).Add("ch", Number(client.bottom));
  if (IsClass(item, L"Static") && text && !text->empty()) {
    if (std::optional<SIZE> need = NeededRoom(item, *text))
      object.Add("needw", Number(need->cx)).Add("needh", Number(need->cy));
  }
  object.Add("enabled", Bool(IsWindowEnabled(item))).Add("visible", Bool(IsWindowVisible(item)));
  if (IsClass(item, L"ComboBox")) {
    object.Add("entries", Entries(item, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT));
    object.Add("sel", Number(Send(item, CB_GETCURSEL, 0, 0)));
  } else if (IsClass(item, PROGRESS_CLASSW)) {
    object.Add("min", Number(Send(item, PBM_GETRANGE, TRUE, 0)));
    object.Add("max", Number(Send(item, PBM_GETRANGE, FALSE, 0)));
    object.Add("pos", Number(Send(item, PBM_GETPOS, 0, 0)));
  }
  return object.Json();
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string Describe(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Object object;
  object.Add("hwnd", Handle(window)).Add("xid", Handle(GetPropA(window, "__wine_x11_whole_window")));
  object.Add("exe", String(ExeOf(window))).Add("class", String(ClassOf(window)));
  object.Add("title", String(TextOf(window)));
  AddGeometry(object, window);
  object.Add("cw", Number(client.right)).Add("ch", Number(client.bottom));
  object.Add("enabled", Bool(IsWindowEnabled(window)));
  if (HFONT font = DialogFont(window)) {
    const SIZE units = BaseUnits(font);
    object.Add("unitx", Number(units.cx)).Add("unity", Number(units.cy));
  }
  // An open drop-down list is a window of its own: its entries and their
  // height tell where to click one.
  if (IsClass(window, L"ComboLBox")) {
    object.Add("entries", Entries(window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT));
    object.Add("sel", Number(Send(window, LB_GETCURSEL, 0, 0)));
    object.Add("itemh", Number(Send(window, LB_GETITEMHEIGHT, 0, 0)));
  }
  std::vector<std::string> items;
  for (HWND child : ChildrenOf(window)) items.push_back(DescribeItem(child));
  object.Add("items", Array(items));
  return object.Json();
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && ExeOf(window) == kInstallerExe) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> InstallerWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void Print(const std::vector<HWND>& windows, const char* timeout = nullptr) {
  std::vector<std::string> described;
  for (HWND window : windows) described.push_back(Describe(window));
  Object answer;
  if (timeout) answer.Add("timeout", timeout);
  answer.Add("windows", Array(described));
  std::printf("%s\n", answer.Json().c_str());
}

// Options arrive in the ANSI code page, as the installer's texts were written.
std::wstring Wide(const char* text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], n);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

struct Match {
  std::optional<std::wstring> title, cls, text;
  std::optional<int> id;

  bool Matches(HWND window) const {
    if (title && TextOf(window) != title) return false;
    if (cls && !IsClass(window, cls->c_str())) return false;
    if (!id && !text) return true;
    for (HWND child : ChildrenOf(window)) {
      if (id && GetDlgCtrlID(child) != *id) continue;
      if (text && TextOf(child) != text) continue;
      return true;
    }
    return false;
  }
};

int Wait(int argc, char** argv) {
  Match match;
  bool gone = false;
  DWORD timeout = 15000;
  for (int i = 0; i < argc; ++i) {
    std::string option = argv[i];
    bool hasValue = i + 1 < argc;
    if (option == "--title" && hasValue) match.title = Wide(argv[++i]);
    else if (option == "--class" && hasValue) match.cls = Wide(argv[++i]);
    else if (option == "--has-id" && hasValue) match.id = std::atoi(argv[++i]);
    else if (option == "--text" && hasValue) match.text = Wide(argv[++i]);
    else if (option == "--timeout" && hasValue) timeout = static_cast<DWORD>(std::atol(argv[++i]));
    else if (option == "--gone") gone = true;
    else {
      std::fprintf(stderr, "gui_probe wait: unknown option %s\n", option.c_str());
      return 2;
    }
  }
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<HWND> found;
    for (HWND window : InstallerWindows()) {
      if (match.Matches(window)) {
        found.push_back(window);
        break;
      }
    }
    if (gone == found.empty()) {
      Print(found, "false");
      return 0;
    }
    if (GetTickCount() - start > timeout) {
      Print(InstallerWindows(), "true");
      return 1;
    }
    Sleep(100);
  }
}

UINT_PTR Value(const char* text) { return static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)); }

// Runs a command line with the limited token linked to ours, as Windows runs
// a player's programs, and returns its exit code. Wine gives every process it
// starts a full administrator's token; its linked token is the limited one.
int RunLimited(const char* commandLine) {
  HANDLE own = nullptr, primary = nullptr;
  TOKEN_LINKED_TOKEN linked = {};
  DWORD size = 0;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &own) ||
      !GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size) ||
      !DuplicateTokenEx(linked.LinkedToken, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary, &primary))
    return 3;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessAsUserA(primary, nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
    return 3;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 3;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  int status = 2;
  if (command == "list") {
    Print(InstallerWindows());
    status = 0;
  } else if (command == "wait") {
    status = Wait(argc - 2, argv + 2);
  } else if (command == "post" && argc == 6) {
    status = PostMessageA(reinterpret_cast<HWND>(Value(argv[2])), static_cast<UINT>(Value(argv[3])),
                          Value(argv[4]), static_cast<LPARAM>(Value(argv[5])))
                 ? 0
                 : 1;
  } else if (command == "limited" && argc == 3) {
    status = RunLimited(argv[2]);
  } else if (command == "answers" && argc == 4) {
    // Whether the window's thread handles a message within the time: a
    // thread that does not is what Windows calls "Not Responding".
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(reinterpret_cast<HWND>(Value(argv[2])), WM_NULL, 0, 0,
                                              SMTO_ABORTIFHUNG | SMTO_BLOCK, static_cast<UINT>(Value(argv[3])),
                                              &result) != 0;
    std::printf("%d\n", answered ? 1 : 0);
    status = 0;
  } else if (command == "sleep" && (argc == 3 || argc == 4)) {
    // The flag tells the test that the installer is now waiting for us.
    if (argc == 4) {
      if (std::FILE* flag = std::fopen(argv[3], "w")) std::fclose(flag);
    }
    Sleep(static_cast<DWORD>(std::atol(argv[2])));
    status = 0;
  } else {
    std::fprintf(stderr, "usage: gui_probe list | wait [options] | post HWND MSG WPARAM LPARAM | answers HWND MS | limited COMMANDLINE | sleep MS [FLAG]\n");
  }
  std::fflush(stdout);
  return status;
}
