SeasonRaces
{
  A
  {
    Laps = 5