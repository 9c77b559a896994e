// vormik-export: writes the page of a project file from the command line.
int main()
{
    return 1;
}
