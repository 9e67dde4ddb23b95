F1_Circuit_Race_Times
{
  A = early
}
SeasonRaces
{
  A
  {
  }
}
Circuit_Settings_Folder_Create_Actions
{
  A { mkdir { x } }
  Nowhere { y }
}
DefaultScoring { one }
DefaultScoring { two }
