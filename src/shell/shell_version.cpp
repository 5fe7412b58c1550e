// The version shown in the About box and by marlwick-cli.
namespace mw {
const char* const kMarlwickVersion = "0.73";
}
