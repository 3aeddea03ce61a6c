CREATE PROCEDURE PKZM_INIT_STAT3 (
PDATA DATE,
PP INTEGER)
RETURNS (
S1 INTEGER,
O1 INTEGER,
K1 INTEGER,
S2 INTEGER,
O2 INTEGER,
K2 INTEGER)
AS
DECLARE VARIABLE P_OD TIME;
DECLARE VARIABLE P_DO TIME;
BEGIN
  S1 = 0;
  O1 = 0;
  K1 = 0;
  S2 = 0;
  O2 = 0;
  K2 = 0;

  /* Planned meals of the day; over no plan rows the sums stay null. */
  IF (PP = 0) THEN
    SELECT SUM(D.SN), SUM(D.OB), SUM(D.KO) FROM KZM_DANE D
    WHERE D.DATA = :PDATA
    INTO :S1, :O1, :K1;

  /* The lunch period, bounds included, by the parameter's name alone. */
  P_OD = NULL;
  P_DO = NULL;
  SELECT P.PTIME FROM PARAMETRY P WHERE P.NAZWA = 'OBIAD_OD' INTO :P_OD;
  SELECT P.PTIME FROM PARAMETRY P WHERE P.NAZWA = 'OBIAD_DO' INTO :P_DO;

  /* Readings of the day by the meal period of their time, unknown cards and repeats included;
     over no readings the counts stay null. A missing bound leaves its periods empty. */
  SELECT SUM(CASE WHEN R.CZAS < :P_OD THEN 1 ELSE 0 END),
         SUM(CASE WHEN R.CZAS >= :P_OD AND R.CZAS <= :P_DO THEN 1 ELSE 0 END),
         SUM(CASE WHEN R.CZAS > :P_DO THEN 1 ELSE 0 END)
  FROM KZM_RWP R
  WHERE R.DATA = :PDATA
  INTO :S2, :O2, :K2;
END;
