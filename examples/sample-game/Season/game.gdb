// Season and circuit data of the stand-in game
DefaultScoring
{
  Points = 10 6 4 3 2 1
  FastestLap = 0
}

SeasonRaces
{
  Albert Park
  {
    Laps = 58
    Date = March 3
  }
  Sepang
  {
    Laps = 56
    Date = March 17
  }
  Interlagos
  {
    Laps = 71
    Date = March 31
  }
}

F1_Circuit_Race_Times
{
  Albert Park = 1:28.214
  Sepang = 1:38.049
  Interlagos = 1:15.725
}

F1_Circuit_Qualify_Times
{
  Albert Park = 1:25.843
  Sepang = 1:35.220
  Interlagos = 1:13.241
}

F1_Circuit_AI_Race_Setup_Wetness00
{
  Albert Park = Setups\AlbertPark_race.svm
  Sepang = Setups\Sepang_race.svm
}

F1_Circuit_AI_Qual_Setup_Wetness00
{
  Albert Park = Setups\AlbertPark_qual.svm
  Sepang = Setups\Sepang_qual.svm
}

Circuit_Settings_Folder_Create_Actions
{
  Albert Park
  {
    Copy = Tracks\AlbertPark\*.*
  }
}

SeasonScoringInfo
{
  Races = 3
  DropWorst = 0
}
