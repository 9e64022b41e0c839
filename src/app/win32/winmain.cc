// Process entry of Ottermoor.exe: registers the main window class "TfrmQL",
// shows the main window and runs the message loop until it is closed.
// The main window's behaviour lives in portable code; this file only wires
// the process to it.
#include <windows.h>

namespace {

constexpr char kMainClass[] = "TfrmQL";
constexpr char kTitle[] = "Ottermoor";

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClass;
  if (!RegisterClassExA(&wc)) return 1;

  HWND main = CreateWindowExA(0, kMainClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                              480, nullptr, nullptr, instance, nullptr);
  if (!main) return 1;
  ShowWindow(main, show);
  UpdateWindow(main);

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return static_cast<int>(m.wParam);
}
