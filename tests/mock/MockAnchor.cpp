// Keeps the mock library non-empty while no fake is needed yet.
namespace velmora_mocks {
int anchor() {
    return 0;
}
} // namespace velmora_mocks
