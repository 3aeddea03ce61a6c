CREATE PROCEDURE PKZM_RP07 (
DTP DATE,
DTK DATE)
RETURNS (
DATA DATE,
SN INTEGER,
OB INTEGER,
KO INTEGER)
AS
DECLARE VARIABLE P_OD TIME;
DECLARE VARIABLE P_DO TIME;
BEGIN
  /* The lunch period, bounds included, by the parameter's name alone. */
  P_OD = NULL;
  P_DO = NULL;
  SELECT P.PTIME FROM PARAMETRY P WHERE P.NAZWA = 'OBIAD_OD' INTO :P_OD;
  SELECT P.PTIME FROM PARAMETRY P WHERE P.NAZWA = 'OBIAD_DO' INTO :P_DO;

  /* Each day with readings: its readings by the meal period of their time. A missing
     bound leaves its periods empty. */
  FOR SELECT R.DATA,
             SUM(CASE WHEN R.CZAS < :P_OD THEN 1 ELSE 0 END),
             SUM(CASE WHEN R.CZAS >= :P_OD AND R.CZAS <= :P_DO THEN 1 ELSE 0 END),
             SUM(CASE WHEN R.CZAS > :P_DO THEN 1 ELSE 0 END)
      FROM KZM_RWP R
      WHERE R.DATA >= :DTP AND R.DATA <= :DTK
      GROUP BY R.DATA
      ORDER BY R.DATA
      INTO :DATA, :SN, :OB, :KO
  DO
    SUSPEND;
END;
