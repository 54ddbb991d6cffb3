// Linked with every object of the data library and nothing of the game: it builds only while
// data/ needs nothing from game/.
int main()
{
    return 0;
}
