// A libcurl.so.4 that has curl_global_init and none of the other functions the HTTP code
// calls, as an unrelated or far older library of that name would.
extern "C" int curl_global_init(long /*flags*/) { return 0; }
