// A libzip.so.4 that has zip_open and none of the other functions the FCC import calls, as an
// unrelated or far older library of that name would.
extern "C" void* zip_open(const char* /*path*/, int /*flags*/, int* /*error*/) { return nullptr; }
