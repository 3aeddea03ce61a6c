CREATE PROCEDURE PKZM_RP04P_2 (
WSK INTEGER,
NR_OPER INTEGER,
DATA DATE,
IJEDN INTEGER)
AS
DECLARE VARIABLE P_DZIEN INTEGER;
DECLARE VARIABLE P_JEST INTEGER;
DECLARE VARIABLE P_ETYKIETA VARCHAR(10);
DECLARE VARIABLE P_KOLUMNA INTEGER;
DECLARE VARIABLE P_ILE INTEGER;
BEGIN
  /* The rate breakdown of one unit and day: the unit's rows of the day with an event type,
     by food rate 020 or 030 and resulting payout 60 % or 100 %, and by 110 payout.
     A day is counted once: when the lines already hold a cell of this day, the day has been
     counted and a second run adds nothing. */
  P_DZIEN = EXTRACT(DAY FROM :DATA);
  P_JEST = 0;
  SELECT COUNT(*) FROM KZM_RP04 R
  WHERE R.WSK = :WSK AND R.IJEDN = :IJEDN AND R.NR_OPER = :NR_OPER AND R.DZIEN = :P_DZIEN
    AND R.KOLUMNA0 IN ('020 60%', '020 100%', '030 60%', '030 100%', 'D110')
  INTO :P_JEST;
  IF (P_JEST > 0) THEN
    EXIT;

  /* Each figure goes into the day's cell and is added to the line's summary cell:
     32 days at 60 %, 33 days at 100 %, 34 water days, 35 and 36 the 110 payout at 70 % and
     150 %. The D110 day cell holds all the day's 110 payouts. */
  FOR SELECT X.ETYKIETA, X.KOLUMNA, X.ILE FROM (
        SELECT TRIM(IIF(D.IDSTAWKA = 20, '020', '030') || IIF(D.RSTAWKA_DW = 60, ' 60%', ' 100%'))
                 AS ETYKIETA,
               CAST(:P_DZIEN AS INTEGER) AS KOLUMNA, COUNT(*) AS ILE
        FROM KZM_DANE D
        WHERE D.DATA = :DATA AND D.IDJEDN = :IJEDN AND D.IDZDARZ > 0
          AND D.IDSTAWKA IN (20, 30) AND D.RSTAWKA_DW IN (60, 100)
        GROUP BY D.IDSTAWKA, D.RSTAWKA_DW
        UNION ALL
        SELECT TRIM(IIF(D.IDSTAWKA = 20, '020', '030') || IIF(D.RSTAWKA_DW = 60, ' 60%', ' 100%')),
               IIF(D.RSTAWKA_DW = 60, 32, 33), COUNT(*)
        FROM KZM_DANE D
        WHERE D.DATA = :DATA AND D.IDJEDN = :IJEDN AND D.IDZDARZ > 0
          AND D.IDSTAWKA IN (20, 30) AND D.RSTAWKA_DW IN (60, 100)
        GROUP BY D.IDSTAWKA, D.RSTAWKA_DW
        UNION ALL
        SELECT TRIM(IIF(D.IDSTAWKA = 20, '020', '030') || IIF(D.RSTAWKA_DW = 60, ' 60%', ' 100%')),
               34, SUM(COALESCE(D.RWODA, 0))
        FROM KZM_DANE D
        WHERE D.DATA = :DATA AND D.IDJEDN = :IJEDN AND D.IDZDARZ > 0
          AND D.IDSTAWKA IN (20, 30) AND D.RSTAWKA_DW IN (60, 100)
        GROUP BY D.IDSTAWKA, D.RSTAWKA_DW
        UNION ALL
        /* The 110 payout is read from STAWKA_DW110, copied from the event type by the plan
           procedures; RSTAWKA_DW110 is always written as 0 and would leave the 110 days out. */
        SELECT 'D110', CAST(:P_DZIEN AS INTEGER), COUNT(*)
        FROM KZM_DANE D
        WHERE D.DATA = :DATA AND D.IDJEDN = :IJEDN AND D.IDZDARZ > 0
          AND D.STAWKA_DW110 IN (70, 150)
        UNION ALL
        SELECT 'D110', IIF(D.STAWKA_DW110 = 70, 35, 36), COUNT(*)
        FROM KZM_DANE D
        WHERE D.DATA = :DATA AND D.IDJEDN = :IJEDN AND D.IDZDARZ > 0
          AND D.STAWKA_DW110 IN (70, 150)
        GROUP BY D.STAWKA_DW110) X
      WHERE X.ILE > 0
      INTO :P_ETYKIETA, :P_KOLUMNA, :P_ILE
  DO
  BEGIN
    UPDATE KZM_RP04 R SET R.D = CAST(CAST(R.D AS INTEGER) + :P_ILE AS VARCHAR(20))
    WHERE R.WSK = :WSK AND R.IJEDN = :IJEDN AND R.NR_OPER = :NR_OPER
      AND R.KOLUMNA0 = :P_ETYKIETA AND R.DZIEN = :P_KOLUMNA;
    IF (ROW_COUNT = 0) THEN
      INSERT INTO KZM_RP04 (WSK, IJEDN, NR_OPER, KOLUMNA0, DZIEN, D)
      VALUES (:WSK, :IJEDN, :NR_OPER, :P_ETYKIETA, :P_KOLUMNA, CAST(:P_ILE AS VARCHAR(20)));
  END
END;
