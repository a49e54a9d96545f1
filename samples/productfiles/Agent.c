/* zeAgtSvc.exe (sample): stands in for the agent service, whose version
   resource the reports read. It does nothing when run. */
int main(void)
{
    return 0;
}
