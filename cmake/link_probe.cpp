// The link probe of a room (cmake/ZumoriaLayers.cmake): it only has to link.
int main()
{
    return 0;
}
