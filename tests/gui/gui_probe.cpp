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
// Output lines (stdout):
//   window hwnd=0x.. xid=0x.. exe=NAME class=C title="T" x= y= w= h= cw= ch= enabled=0|1 [items="a|b" sel=N itemh=N]
//   item hwnd=0x.. id=N class=C text="T" x= y= w= h= enabled=0|1 visible=0|1 [items="a|b" sel=N] [min= max= pos=]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kInstallerExe[] = "trilo-setup.exe";
const UINT kSendTimeoutMs = 2000;

std::string ExeOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::string();
  char path[MAX_PATH] = {0};
  DWORD size = MAX_PATH;
  std::string name;
  if (QueryFullProcessImageNameA(process, 0, path, &size)) {
    name.assign(path, size);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
  }
  CloseHandle(process);
  return name;
}

std::string ClassOf(HWND window) {
  char name[256] = {0};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Narrow(const wchar_t* text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

// Texts travel between processes as UTF-16 (the ANSI forms of the combo box
// messages are not carried whole); a timeout keeps a busy installer from
// hanging the probe.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return "<busy>";
  }
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &got);
  return Narrow(buffer.data());
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

std::string Hex(UINT_PTR value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
  return buffer;
}

std::string Geometry(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "x=%ld y=%ld w=%ld h=%ld", r.left, r.top, r.right - r.left,
                r.bottom - r.top);
  return buffer;
}

// The entries of a combo box (CB_ messages) or of its drop-down list (LB_).
std::string Entries(HWND box, UINT countMsg, UINT lengthMsg, UINT textMsg) {
  LRESULT count = Send(box, countMsg, 0, 0);
  std::string items;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = Send(box, lengthMsg, i, 0);
    if (length < 0) break;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 2, L'\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, textMsg, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                        &ignored);
    if (i) items += "|";
    items += Narrow(text.data());
  }
  return items;
}

void DescribeItem(HWND item, std::string& out) {
  std::string cls = ClassOf(item);
  out += "item hwnd=" + Hex(reinterpret_cast<UINT_PTR>(item)) + " id=" + std::to_string(GetDlgCtrlID(item)) +
         " class=" + cls + " text=\"" + TextOf(item) + "\" " + Geometry(item) +
         " enabled=" + (IsWindowEnabled(item) ? "1" : "0") + " visible=" + (IsWindowVisible(item) ? "1" : "0");
  if (lstrcmpiA(cls.c_str(), "ComboBox") == 0) {
    out += " items=\"" + Entries(item, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT) +
           "\" sel=" + std::to_string(Send(item, CB_GETCURSEL, 0, 0));
  } else if (lstrcmpiA(cls.c_str(), PROGRESS_CLASSA) == 0) {
    out += " min=" + std::to_string(Send(item, PBM_GETRANGE, TRUE, 0)) +
           " max=" + std::to_string(Send(item, PBM_GETRANGE, FALSE, 0)) +
           " pos=" + std::to_string(Send(item, PBM_GETPOS, 0, 0));
  }
  out += "\n";
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
  HANDLE xid = GetPropA(window, "__wine_x11_whole_window");
  std::string out = "window hwnd=" + Hex(reinterpret_cast<UINT_PTR>(window)) +
                    " xid=" + Hex(reinterpret_cast<UINT_PTR>(xid)) + " exe=" + ExeOf(window) +
                    " class=" + ClassOf(window) + " title=\"" + TextOf(window) + "\" " + Geometry(window) +
                    " cw=" + std::to_string(client.right) + " ch=" + std::to_string(client.bottom) +
                    " enabled=" + (IsWindowEnabled(window) ? "1" : "0");
  // An open drop-down list is a window of its own: its entries and their
  // height tell where to click one.
  if (lstrcmpiA(ClassOf(window).c_str(), "ComboLBox") == 0) {
    out += " items=\"" + Entries(window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT) +
           "\" sel=" + std::to_string(Send(window, LB_GETCURSEL, 0, 0)) +
           " itemh=" + std::to_string(Send(window, LB_GETITEMHEIGHT, 0, 0));
  }
  out += "\n";
  for (HWND child : ChildrenOf(window)) DescribeItem(child, out);
  return out;
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

struct Match {
  const char* title = nullptr;
  const char* cls = nullptr;
  int hasId = 0;
  bool checkId = false;
  const char* text = nullptr;

  bool Matches(HWND window) const {
    if (title && TextOf(window) != title) return false;
    if (cls && lstrcmpiA(ClassOf(window).c_str(), cls) != 0) return false;
    if (!checkId && !text) return true;
    for (HWND child : ChildrenOf(window)) {
      if (checkId && GetDlgCtrlID(child) != hasId) continue;
      if (text && TextOf(child) != text) continue;
      return true;
    }
    return false;
  }
};

int List() {
  for (HWND window : InstallerWindows()) std::fputs(Describe(window).c_str(), stdout);
  return 0;
}

int Wait(int argc, char** argv) {
  Match match;
  bool gone = false;
  DWORD timeout = 15000;
  for (int i = 0; i < argc; ++i) {
    std::string option = argv[i];
    bool hasValue = i + 1 < argc;
    if (option == "--title" && hasValue) match.title = argv[++i];
    else if (option == "--class" && hasValue) match.cls = argv[++i];
    else if (option == "--has-id" && hasValue) match.checkId = true, match.hasId = std::atoi(argv[++i]);
    else if (option == "--text" && hasValue) match.text = argv[++i];
    else if (option == "--timeout" && hasValue) timeout = static_cast<DWORD>(std::atol(argv[++i]));
    else if (option == "--gone") gone = true;
    else {
      std::fprintf(stderr, "gui_probe wait: unknown option %s\n", option.c_str());
      return 2;
    }
  }
  DWORD start = GetTickCount();
  for (;;) {
    HWND found = nullptr;
    for (HWND window : InstallerWindows()) {
      if (match.Matches(window)) {
        found = window;
        break;
      }
    }
    if (gone ? found == nullptr : found != nullptr) {
      if (found) std::fputs(Describe(found).c_str(), stdout);
      return 0;
    }
    if (GetTickCount() - start > timeout) {
      std::printf("timeout\n");
      List();
      return 1;
    }
    Sleep(100);
  }
}

UINT_PTR Number(const char* text) { return static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)); }

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  int status = 2;
  if (command == "list") {
    status = List();
  } else if (command == "wait") {
    status = Wait(argc - 2, argv + 2);
  } else if (command == "post" && argc == 6) {
    status = PostMessageA(reinterpret_cast<HWND>(Number(argv[2])), static_cast<UINT>(Number(argv[3])),
                          Number(argv[4]), static_cast<LPARAM>(Number(argv[5])))
                 ? 0
                 : 1;
  } else if (command == "sleep" && (argc == 3 || argc == 4)) {
    // The flag tells the test that the installer is now waiting for us.
    if (argc == 4) {
      if (std::FILE* flag = std::fopen(argv[3], "w")) std::fclose(flag);
    }
    Sleep(static_cast<DWORD>(std::atol(argv[2])));
    status = 0;
  } else {
    std::fprintf(stderr, "usage: gui_probe list | wait [options] | post HWND MSG WPARAM LPARAM | sleep MS [FLAG]\n");
  }
  std::fflush(stdout);
  return status;
}
