DefaultScoring
{
  Points = 10 6 4 3 2 1 // top six
}

SeasonRaces
{
  Melbourne
  {
    Laps = 58
  }
  Interlagos { Laps = 71 }
}

F1_Circuit_Race_Times
{
  Melbourne = 1:30.123
  Interlagos=1:14.300
}
F1_Circuit_Qualify_Times
{
  Melbourne 1:26.000
}
F1_Circuit_AI_Race_Setup_Wetness00
{
  Interlagos = 2 3 4
}
F1_Circuit_AI_Qual_Setup_Wetness00
{
  Melbourne = 5 6 7
}
Circuit_Settings_Folder_Create_Actions
{
  Melbourne
  {
    Create = AUS
  }
}
SeasonScoringInfo
{
  Season = 1999
}
